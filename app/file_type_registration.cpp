#include "app/file_type_registration.h"

#include <array>
#include <exception>

#include <QFileInfo>
#include <QtGlobal>

#include "app/desktop_association.h"
#include "platform/exceptions.h"
#include "platform/registry/registry.h"

namespace qrp {

namespace {
struct TRegistrationEntry {
    QString Key;
    QString Value;
};
}  // namespace

void WriteFileTypeRegistration(TRegistry& registry, const QString& programPath)
{
    const std::array<TRegistrationEntry, 4> entries {{
        {QStringLiteral(".qrp"), QStringLiteral("Tisková sestava QRP")},
        {QStringLiteral("Soubor QRP"), QStringLiteral("Soubor aplikace Lumetra")},
        // The reference names icon 3 of the program file, as the entry always
        // has; the desktop finds qrpview's icon through its desktop entry.
        {QStringLiteral("Soubor QRP\\DefaultIcon"), programPath + QStringLiteral(", 3")},
        {QStringLiteral("Soubor QRP\\Shell\\Open\\Command"), programPath + QStringLiteral(" %1")},
    }};
    registry.SetRootKey(TRegistryRoot::HKEY_CLASSES_ROOT);
    for (const TRegistrationEntry& entry : entries) {
        if (!registry.OpenKey(entry.Key, true))
            continue;
        registry.WriteString(QString(), entry.Value);
        registry.CloseKey();
    }
}

void RegisterFileType(const QString& programPath)
{
    if (!QFileInfo(programPath).isAbsolute())
        throw Exception(
            QStringLiteral("Soubory *.qrp nelze přiřadit: cesta k programu „%1“ není úplná").arg(programPath).toStdString());
    // The entries are the registration proper; the desktop association is
    // installed whether or not they could be written.
    std::exception_ptr entriesFailed;
    try {
        TRegistry registry;
        WriteFileTypeRegistration(registry, programPath);
    } catch (const std::exception&) {
        entriesFailed = std::current_exception();
    }
    const QStringList problems = InstallDesktopAssociation(programPath);
    if (entriesFailed) {
        for (const QString& problem : problems)
            qWarning("qrpview: %s", qPrintable(problem));
        std::rethrow_exception(entriesFailed);
    }
    if (!problems.isEmpty())
        throw Exception((QStringLiteral("Přiřazení souborů *.qrp v pracovním prostředí není úplné:\n")
                         + problems.join(QLatin1Char('\n')))
                            .toStdString());
}

}  // namespace qrp
