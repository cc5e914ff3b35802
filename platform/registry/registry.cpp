#include "platform/registry/registry.h"

#include <optional>

#include <QtGlobal>

namespace qrp {

namespace {
constexpr const char* kFailedToSetData = "Failed to set data for '%s'";
// The longest key name a part of a path may be.
constexpr qsizetype kMaxKeyNameLength = 255;

// The store's section of a root key; the classes root is the only one there is.
QString RootName(TRegistryRoot) { return QStringLiteral("HKEY_CLASSES_ROOT"); }

// The parts of a key path; nothing when it names no key. A leading "\" (a path
// from the root) is allowed, as is a trailing one.
std::optional<QStringList> KeyParts(QString path)
{
    if (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    const QStringList parts = path.split(QLatin1Char('\\'));
    for (const QString& part : parts)
        if (part.isEmpty() || part.size() > kMaxKeyNameLength)
            return std::nullopt;
    return parts;
}
}  // namespace

TRegistry::TRegistry() : TRegistry(TRegistryStore::DefaultFileName()) {}

TRegistry::TRegistry(const QString& storeFile) : Store(storeFile) {}

void TRegistry::SetRootKey(TRegistryRoot root)
{
    CloseKey();
    Root = root;
}

bool TRegistry::OpenKey(const QString& path, bool canCreate)
{
    CloseKey();
    const auto parts = KeyParts(path);
    if (!parts)
        return false;
    Store.Load();
    if (canCreate) {
        OpenPath = Store.CreateKey(RootName(Root), *parts);
        return true;
    }
    const auto existing = Store.FindKey(RootName(Root), *parts);
    OpenPath = existing.value_or(QString());
    return existing.has_value();
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    const std::string failed = FormatMessage(kFailedToSetData, name.toStdString());
    if (OpenPath.isEmpty())
        throw ERegistryException(failed);
    Store.SetString(RootName(Root), OpenPath, name, value);
    QString reason;
    if (!Store.Save(reason)) {
        qWarning("qrpview: the registry store cannot be written: %s", qPrintable(reason));
        throw ERegistryException(failed);
    }
}

void TRegistry::CloseKey() { OpenPath.clear(); }

}  // namespace qrp
