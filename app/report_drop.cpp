#include "app/report_drop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace qrp {

std::optional<std::string> DroppedReportFile(const QMimeData& data)
{
    if (!data.hasUrls() || data.urls().size() != 1)
        return std::nullopt;
    const QUrl& url = data.urls().front();
    if (!url.isLocalFile())
        return std::nullopt;
    const QString path = url.toLocalFile();
    if (QFileInfo(path).suffix().compare(QStringLiteral("qrp"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return path.toStdString();
}

}  // namespace qrp
