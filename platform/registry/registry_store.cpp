#include "platform/registry/registry_store.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>
#include <QtGlobal>

#include "platform/registry/atomic_file.h"

namespace qrp {

namespace {
// Far above what a few file type entries need; a larger file is not ours.
constexpr qint64 kMaxStoreSize = 4 * 1024 * 1024;

// The reason a store's content is not a store, or empty when it is one.
QString ShapeProblem(const QJsonDocument& document)
{
    if (!document.isObject())
        return QStringLiteral("the top level is not an object");
    const QJsonObject roots = document.object();
    for (auto root = roots.begin(); root != roots.end(); ++root) {
        if (!root.value().isObject())
            return QStringLiteral("root key %1 is not an object").arg(root.key());
        const QJsonObject keys = root.value().toObject();
        for (auto key = keys.begin(); key != keys.end(); ++key)
            if (!key.value().isObject())
                return QStringLiteral("key %1 is not an object").arg(key.key());
    }
    return {};
}
}  // namespace

TRegistryStore::TRegistryStore(QString fileName) : File(std::move(fileName)) {}

QString TRegistryStore::DefaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qrpview/registry.json");
}

void TRegistryStore::Load()
{
    Roots = {};
    Damaged = false;
    Unreadable.clear();
    QFile file(File);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        Unreadable = file.errorString();
        qWarning("qrpview: the registry store %s cannot be read: %s", qPrintable(File), qPrintable(Unreadable));
        return;
    }
    QString problem;
    const QByteArray content = file.read(kMaxStoreSize + 1);
    if (content.size() > kMaxStoreSize) {
        problem = QStringLiteral("larger than %1 bytes").arg(kMaxStoreSize);
    } else {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(content, &error);
        problem = error.error != QJsonParseError::NoError
                      ? QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset)
                      : ShapeProblem(document);
        if (problem.isEmpty())
            Roots = document.object();
    }
    if (!problem.isEmpty()) {
        Damaged = true;
        qWarning("qrpview: the registry store %s is damaged (%s); it is taken as empty and written afresh, "
                 "the damaged file kept as %s.damaged",
                 qPrintable(File), qPrintable(problem), qPrintable(File));
    }
}

QJsonObject TRegistryStore::Root(const QString& root) const { return Roots.value(root).toObject(); }

void TRegistryStore::SetRoot(const QString& root, const QJsonObject& keys) { Roots.insert(root, keys); }

std::optional<QString> TRegistryStore::FindKey(const QString& root, const QStringList& parts) const
{
    const QString path = parts.join(QLatin1Char('\\'));
    const QJsonObject keys = Root(root);
    for (auto key = keys.begin(); key != keys.end(); ++key)
        if (key.key().compare(path, Qt::CaseInsensitive) == 0)
            return key.key();
    return std::nullopt;
}

QString TRegistryStore::CreateKey(const QString& root, const QStringList& parts)
{
    QJsonObject keys = Root(root);
    QString stored;
    for (qsizetype depth = 1; depth <= parts.size(); ++depth) {
        // A new key is spelt as given below its parent as that is spelt.
        const QString parent = stored;
        if (const auto existing = FindKey(root, parts.first(depth))) {
            stored = *existing;
            continue;
        }
        stored = parent.isEmpty() ? parts[depth - 1] : parent + QLatin1Char('\\') + parts[depth - 1];
        keys.insert(stored, QJsonObject());
        SetRoot(root, keys);
    }
    return stored;
}

void TRegistryStore::SetString(const QString& root, const QString& storedKey, const QString& name, const QString& value)
{
    QJsonObject keys = Root(root);
    QJsonObject values = keys.value(storedKey).toObject();
    QString storedName = name;
    for (auto existing = values.begin(); existing != values.end(); ++existing)
        if (existing.key().compare(name, Qt::CaseInsensitive) == 0)
            storedName = existing.key();
    values.insert(storedName, value);
    keys.insert(storedKey, values);
    SetRoot(root, keys);
}

bool TRegistryStore::Save(QString& error)
{
    if (!Unreadable.isEmpty()) {
        error = QStringLiteral("%1 cannot be read (%2); writing it would lose its keys").arg(File, Unreadable);
        return false;
    }
    const QByteArray content = QJsonDocument(Roots).toJson(QJsonDocument::Indented);
    if (content.size() > kMaxStoreSize) {
        error = QStringLiteral("%1 would grow beyond %2 bytes").arg(File).arg(kMaxStoreSize);
        return false;
    }
    if (Damaged)
        KeepDamagedFile();
    if (const QString reason = WriteFileAtomically(File, content); !reason.isEmpty()) {
        error = QStringLiteral("%1: %2").arg(File, reason);
        return false;
    }
    Damaged = false;
    return true;
}

void TRegistryStore::KeepDamagedFile()
{
    const QString kept = File + QStringLiteral(".damaged");
    QFile::remove(kept);
    if (!QFile::copy(File, kept))
        qWarning("qrpview: the damaged registry store %s could not be kept as %s", qPrintable(File), qPrintable(kept));
}

}  // namespace qrp
