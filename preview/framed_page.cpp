#include "preview/framed_page.h"

#include <cmath>

#include <QPainter>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"

namespace qrp {

void DrawFramedPage(QPainter& painter, const TMetafile* page, QSize size, QPointF origin)
{
    const int w = size.width();
    const int h = size.height();
    const auto band = [origin](int left, int top, int width, int height) {
        return QRectF(origin.x() + left, origin.y() + top, width, height);
    };
    painter.fillRect(band(1, 1, w - 4, h - 4), Qt::white);
    if (page) {
        // Moved through the target rather than the painter's transform: the
        // player's clip regions hold only for a painter without a world transform.
        painter.save();
        emf::PlayMetafile(painter, *page, QRectF(origin, QSizeF(size)));
        painter.restore();
    }
    // Filled one-pixel bands rather than lines: they cover whole device pixels at any pixel ratio.
    painter.fillRect(band(0, 0, w - 2, 1), Qt::black);
    painter.fillRect(band(0, h - 3, w - 2, 1), Qt::black);
    painter.fillRect(band(0, 0, 1, h - 2), Qt::black);
    painter.fillRect(band(w - 3, 0, 1, h - 2), Qt::black);
    painter.fillRect(band(w - 2, 2, 2, h - 2), Qt::black);
    painter.fillRect(band(2, h - 2, w - 2, 2), Qt::black);
}

QSize DevicePixels(QSize size, qreal pixelRatio)
{
    return QSize(static_cast<int>(std::ceil(size.width() * pixelRatio)),
                 static_cast<int>(std::ceil(size.height() * pixelRatio)));
}

QRect DeviceRect(const QRect& logical, qreal pixelRatio)
{
    const int left = static_cast<int>(std::floor(logical.left() * pixelRatio));
    const int top = static_cast<int>(std::floor(logical.top() * pixelRatio));
    const int right = static_cast<int>(std::ceil((logical.right() + 1) * pixelRatio));
    const int bottom = static_cast<int>(std::ceil((logical.bottom() + 1) * pixelRatio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QImage RenderFramedPageArea(const TMetafile& page, QSize size, qreal pixelRatio, const QRect& deviceArea)
{
    QImage area(deviceArea.size(), QImage::Format_ARGB32_Premultiplied);
    if (area.isNull())
        return area;
    area.fill(Qt::transparent);
    // Drawn at device resolution, laid out in logical pixels.
    area.setDevicePixelRatio(pixelRatio);
    QPainter painter(&area);
    DrawFramedPage(painter, &page, size, QPointF(-deviceArea.x() / pixelRatio, -deviceArea.y() / pixelRatio));
    return area;
}

}  // namespace qrp
