#include "platform/emf/player/outline_geometry.h"

#include <algorithm>

#include <QPainterPathStroker>
#include <QTransform>

namespace qrp::emf {

QPainterPath GlyphOutlines(const QString& text, const std::vector<QPointF>& positions, const QFont& font, double angle)
{
    const qsizetype count = std::min<qsizetype>(text.size(), static_cast<qsizetype>(positions.size()));
    QPainterPath outlines;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < count ? 2 : 1;
        const QString character = text.mid(i, length);
        const QPointF at = positions[static_cast<std::size_t>(i)];
        i += length - 1;
        if (character.at(0).isSpace() || character.at(0).isNull())
            continue;
        QPainterPath glyph;
        glyph.addText(QPointF(0, 0), font, character);
        QTransform place = QTransform::fromTranslate(at.x(), at.y());
        place.rotate(angle);
        outlines.addPath(place.map(glyph));
    }
    return outlines;
}

QPainterPath StrokeOutline(const QPainterPath& path, const QPen& pen, double deviceScale)
{
    QPainterPathStroker stroker(pen);
    if (pen.isCosmetic() || pen.widthF() == 0)
        stroker.setWidth(std::max(1.0, pen.widthF()) / deviceScale);
    return stroker.createStroke(path);
}

QPainterPath RegionOutline(const QRegion& region, int maxRectangles)
{
    QPainterPath outline;
    if (region.rectCount() > maxRectangles)
        outline.addRect(region.boundingRect());
    else
        outline.addRegion(region);
    return outline;
}

}  // namespace qrp::emf
