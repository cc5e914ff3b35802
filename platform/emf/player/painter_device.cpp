#include "platform/emf/player/painter_device.h"

#include <cmath>

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>

namespace qrp::emf {

namespace {

// Qt draws glyphs up to a size through a cache of glyph images, and glyphs of
// some fonts (missing-glyph boxes, colour fonts) at any size; a page-sized
// glyph would make that cache an image of gigabytes. Larger glyphs are
// filled as outlines, which cost what the clip lets through.
constexpr double kLargestImagedGlyph = 512;

double GlyphSizeOnDevice(const QFont& font, const QTransform& toDevice)
{
    const double stretch = font.stretch() > 100 ? font.stretch() / 100.0 : 1.0;
    return font.pixelSize() * stretch * std::sqrt(std::abs(toDevice.determinant()));
}

// Qt draws glyphs from its image cache up to 64 pixels and fills the outlines
// of larger ones; a little below that size both may happen.
constexpr double kSmallestOutlinedGlyph = 56;

// Qt's FreeType engine renders a glyph image at a subpixel position by giving
// the font face that offset, and leaves it there; outlines it loads later from
// the same face, at any size, move by it (up to 3/4 of a font unit, a visible
// change of edge pixels at page sizes). Which offset is left depends on what
// the thread drew before, so the same page would come out differently after
// other pages, in other threads, or drawn in strips. A new engine for the face
// clears the offset: one made at another size and dropped at once.
void ClearOutlineOffset(const QRawFont& raw)
{
    if (!raw.isValid())
        return;
    QRawFont other = raw;
    other.setPixelSize(raw.pixelSize() + 1);
}

// Clears the offset of every font face a text drawn in font would use,
// fallback fonts for characters the font lacks included.
void ClearOutlineOffsets(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns())
        ClearOutlineOffset(run.rawFont());
}

}  // namespace

TPainterDevice::TPainterDevice(QPainter& painter)
    : Painter(painter), Base(painter.transform()),
      RasterOpsWork(painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)),
      Raster(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster)
{
    Painter.save();
    if (Painter.hasClipping())
        OuterClip = Base.map(Painter.clipRegion());
    // Shapes keep their hard pixel edges as recorded; text is smoothed.
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setRenderHint(QPainter::TextAntialiasing, true);
}

TPainterDevice::~TPainterDevice() { Painter.restore(); }

void TPainterDevice::SetClip(const std::optional<QRegion>& clip)
{
    // The player's regions are in the painter's own coordinates, as its paths
    // are; the clip the painter came with is kept in device pixels and mapped back.
    Painter.setTransform(Base);
    const QTransform toPainter = Base.inverted();
    if (!clip && !OuterClip) {
        // Not setClipping(false): the raster engine then ignores the next
        // clip of several rectangles. One rectangle beyond any page clips nothing.
        if (Painter.hasClipping())
            Painter.setClipRect(toPainter.mapRect(QRectF(-1e7, -1e7, 2e7, 2e7)), Qt::ReplaceClip);
        return;
    }
    if (clip)
        Painter.setClipRegion(*clip, Qt::ReplaceClip);
    if (OuterClip)
        Painter.setClipRegion(toPainter.map(*OuterClip), clip ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TPainterDevice::SetMode(QPainter::CompositionMode mode)
{
    if (mode >= QPainter::RasterOp_SourceOrDestination && !RasterOpsWork) {
        switch (mode) {
        case QPainter::RasterOp_SourceAndDestination: mode = QPainter::CompositionMode_Multiply; break;
        case QPainter::RasterOp_SourceOrDestination: mode = QPainter::CompositionMode_Lighten; break;
        case QPainter::RasterOp_SourceXorDestination:
        case QPainter::RasterOp_NotDestination: mode = QPainter::CompositionMode_Difference; break;
        default: mode = QPainter::CompositionMode_SourceOver; break;
        }
    }
    Painter.setCompositionMode(mode);
}

void TPainterDevice::FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode)
{
    Painter.setTransform(Base);
    SetMode(mode);
    Painter.fillPath(path, brush);
}

void TPainterDevice::StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode)
{
    Painter.setTransform(Base);
    SetMode(mode);
    // Qt's raster engine draws wide lines of one segment by a route of its own
    // that first cuts them to the clip, so that where the clip lies moves their
    // edges by a pixel; their outline filled is the same shape wherever the
    // clip lies, and a page drawn in strips comes out as drawn whole.
    if (Raster && !pen.isCosmetic() && pen.widthF() > 0 && pen.style() != Qt::NoPen) {
        QPainterPathStroker stroker(pen);
        Painter.fillPath(stroker.createStroke(path), pen.brush());
        return;
    }
    Painter.strokePath(path, pen);
}

void TPainterDevice::DrawText(const TTextRun& run)
{
    // Glyph numbers of a font we do not have would draw the wrong shapes.
    if (run.GlyphIndexes || run.Text.isEmpty() || run.Positions.empty())
        return;
    const QPointF origin = run.Positions.front();
    QTransform toRun = QTransform::fromTranslate(origin.x(), origin.y());
    toRun.rotate(run.Angle);
    const QTransform fromDevice = toRun.inverted();
    Painter.setTransform(toRun * Base);
    SetMode(QPainter::CompositionMode_SourceOver);
    Painter.setPen(run.Color);

    const auto count = std::min<qsizetype>(run.Text.size(), static_cast<qsizetype>(run.Positions.size()));
    const double glyphSize = GlyphSizeOnDevice(run.Font, Painter.transform());
    const bool outlined = glyphSize >= kSmallestOutlinedGlyph;
    if (glyphSize > kLargestImagedGlyph) {
        ClearOutlineOffsets(run.Font, run.Text.left(count));
        QPainterPath outlines;
        for (qsizetype i = 0; i < count; ++i) {
            const QChar c = run.Text.at(i);
            if (!c.isSpace() && !c.isNull())
                outlines.addText(fromDevice.map(run.Positions[static_cast<std::size_t>(i)]), run.Font, QString(c));
        }
        Painter.setRenderHint(QPainter::Antialiasing, true);
        Painter.fillPath(outlines, run.Color);
        Painter.setRenderHint(QPainter::Antialiasing, false);
        return;
    }

    // Glyphs are placed one by one where the recording put them; characters the
    // font lacks fall back to ordinary text drawing, which finds another font.
    const QRawFont raw = QRawFont::fromFont(run.Font);
    if (outlined)
        ClearOutlineOffset(raw);
    QList<quint32> glyphs;
    QList<QPointF> positions;
    for (qsizetype i = 0; i < count; ++i) {
        const QChar c = run.Text.at(i);
        if (c.isSpace() || c.isNull())
            continue;
        const QPointF at = fromDevice.map(run.Positions[static_cast<std::size_t>(i)]);
        const QList<quint32> indexes = raw.isValid() ? raw.glyphIndexesForString(QString(c)) : QList<quint32>();
        if (!indexes.isEmpty() && indexes.front() != 0) {
            glyphs.append(indexes.front());
            positions.append(at);
        } else {
            if (outlined)
                ClearOutlineOffsets(run.Font, QString(c));
            Painter.setFont(run.Font);
            Painter.drawText(at, QString(c));
        }
    }
    if (!glyphs.isEmpty()) {
        QGlyphRun glyphRun;
        glyphRun.setRawFont(raw);
        glyphRun.setGlyphIndexes(glyphs);
        glyphRun.setPositions(positions);
        glyphRun.setUnderline(run.Font.underline());
        glyphRun.setStrikeOut(run.Font.strikeOut());
        Painter.drawGlyphRun(QPointF(0, 0), glyphRun);
    }
}

void TPainterDevice::DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                               QPainter::CompositionMode mode, bool smooth)
{
    Painter.setTransform(imageToDevice * Base);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    SetMode(mode);
    Painter.drawImage(source, image, source);
}

}  // namespace qrp::emf
