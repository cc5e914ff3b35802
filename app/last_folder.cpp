#include "app/last_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qrp {

namespace {
const QString kLastFolderKey = QStringLiteral("viewer/lastFolder");

// The program's own settings, named here: the application sets no organisation.
QSettings ViewerSettings() { return QSettings(QSettings::UserScope, QStringLiteral("qrpview"), QStringLiteral("qrpview")); }
}  // namespace

QString LastReportFolder()
{
    const QString folder = ViewerSettings().value(kLastFolderKey).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QString();
}

void RememberReportFile(const std::string& path)
{
    ViewerSettings().setValue(kLastFolderKey, QFileInfo(QString::fromStdString(path)).absolutePath());
}

}  // namespace qrp
