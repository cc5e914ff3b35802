#include "export/png_export_filter.h"

#include <QBuffer>
#include <QImage>

#include "export/page_too_large.h"
#include "platform/emf/player/page_image.h"

namespace qrp {

QByteArray TQRPngExportFilter::Picture(const TMetafile& page, std::int32_t pageNumber) const
{
    const QImage image = emf::RenderPageImage(page, Resolution, ProblemHandler(pageNumber));
    if (image.isNull())
        throw PageTooLarge(pageNumber);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG");
    return bytes;
}

}  // namespace qrp
