#include "app/desktop_association.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <optional>

#include "app/desktop_entry.h"
#include "app/helper_program.h"
#include "data/desktop_data.h"
#include "platform/registry/atomic_file.h"

namespace qrp {

namespace {
enum class THelperNeed { Required, CacheOnly };

class TInstaller {
public:
    TInstaller(QString dataHome, std::chrono::milliseconds helperTimeout)
        : DataHome(std::move(dataHome)), HelperTimeout(helperTimeout) {}

    void InstallMimeType()
    {
        const auto types = Resource(DesktopDataFile(QStringLiteral("qrpview.xml")));
        if (types && Write(DataHome + QStringLiteral("/mime/packages/qrpview.xml"), *types))
            Run(QStringLiteral("update-mime-database"), {DataHome + QStringLiteral("/mime")}, THelperNeed::Required);
    }

    // Every size the build embeds, and the scalable picture.
    void InstallIcon()
    {
        const QString themeDir = DataHome + QStringLiteral("/icons/hicolor");
        // Embedded as icons/<size>/qrpview.png (or scalable/qrpview.svg).
        QDirIterator pictures(DesktopDataFile(QStringLiteral("icons")), QDir::Files, QDirIterator::Subdirectories);
        while (pictures.hasNext()) {
            const QFileInfo picture(pictures.next());
            if (const auto icon = Resource(picture.filePath()))
                Write(QStringLiteral("%1/%2/apps/%3").arg(themeDir, picture.dir().dirName(), picture.fileName()), *icon);
        }
        Run(QStringLiteral("gtk-update-icon-cache"), {QStringLiteral("-q"), QStringLiteral("-f"), QStringLiteral("-t"), themeDir},
            THelperNeed::CacheOnly);
    }

    // The entry, and qrpview as the report type's default program.
    void InstallDesktopEntry(const QString& programPath)
    {
        const QString applications = DataHome + QStringLiteral("/applications");
        const auto shipped = Resource(DesktopDataFile(QStringLiteral("qrpview.desktop")));
        if (!shipped
            || !Write(applications + QLatin1Char('/') + QLatin1String(kDesktopEntryName), PersonalDesktopEntry(*shipped, programPath)))
            return;
        Run(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), applications}, THelperNeed::CacheOnly);
        Run(QStringLiteral("xdg-mime"), {QStringLiteral("default"), QLatin1String(kDesktopEntryName), QLatin1String(kReportMimeType)},
            THelperNeed::Required);
    }

    QStringList Problems;

private:
    std::optional<QByteArray> Resource(const QString& resource)
    {
        QFile file(resource);
        if (!file.open(QIODevice::ReadOnly)) {
            Problems << QStringLiteral("soubor %1 v programu chybí").arg(resource);
            return std::nullopt;
        }
        return file.readAll();
    }

    // Writes the whole file or leaves the old one; false with the reason noted.
    bool Write(const QString& fileName, const QByteArray& content)
    {
        const QString reason = WriteFileAtomically(fileName, content);
        if (!reason.isEmpty())
            Problems << QStringLiteral("soubor %1 nelze zapsat (%2)").arg(fileName, reason);
        return reason.isEmpty();
    }

    void Run(const QString& program, const QStringList& arguments, THelperNeed need)
    {
        const THelperOutcome outcome = RunHelperProgram(program, arguments, HelperTimeout);
        if (outcome.Problem.isEmpty() || (need == THelperNeed::CacheOnly && !outcome.Found))
            return;
        if (need == THelperNeed::Required)
            Problems << outcome.Problem;
        else
            qWarning("qrpview: %s", qPrintable(outcome.Problem));
    }

    QString DataHome;
    std::chrono::milliseconds HelperTimeout;
};
}  // namespace

QStringList InstallDesktopAssociation(const QString& programPath, std::chrono::milliseconds helperTimeout)
{
    TInstaller installer(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), helperTimeout);
    installer.InstallMimeType();
    installer.InstallIcon();
    installer.InstallDesktopEntry(programPath);
    return installer.Problems;
}

}  // namespace qrp
