#include "export/svg_export_filter.h"

#include <cmath>

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "export/page_too_large.h"
#include "platform/emf/player/page_image.h"
#include "platform/stream.h"

namespace qrp {

void TQRSvgExportFilter::WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const
{
    const QSize size = emf::FramePixelSize(page, Resolution);
    if (size.isEmpty())
        throw PageTooLarge(pageNumber);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(static_cast<int>(std::lround(Resolution)));
    QPainter painter(&generator);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    emf::PlayMetafile(painter, page, QRectF(QPointF(0, 0), QSizeF(size)), ProblemHandler(pageNumber));
    painter.end();
    out.WriteBuffer(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace qrp
