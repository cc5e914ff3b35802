#include "platform/emf/player/painter_device.h"

#include <cmath>

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>

#include "platform/emf/player/outline_geometry.h"
#include "platform/emf/player/raster_op_backdrop.h"

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

// A figure cut to a clip. Cutting costs about the product of the two
// outlines' sizes; past a bound the figure is cut to the clip's bounding box.
QPainterPath CutToClip(const QPainterPath& figure, const QPainterPath& clip)
{
    constexpr double kMostCuttingWork = 1 << 22;
    if (static_cast<double>(figure.elementCount()) * clip.elementCount() > kMostCuttingWork) {
        QPainterPath box;
        box.addRect(clip.boundingRect());
        return figure.intersected(box);
    }
    return figure.intersected(clip);
}

}  // namespace

TPainterDevice::TPainterDevice(QPainter& painter)
    : Painter(painter), Base(painter.transform()),
      // The PDF and SVG engines claim raster operations but draw them as plain copies.
      RasterOpsWork(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
                    painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)),
      Raster(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster),
      ClipsItself(!painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::SVG)
{
    Painter.save();
    if (Painter.hasClipping())
        OuterClip = Base.map(Painter.clipRegion());
    // Shapes keep their hard pixel edges as recorded; text is smoothed.
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setRenderHint(QPainter::TextAntialiasing, true);
}

TPainterDevice::~TPainterDevice() { Painter.restore(); }

void TPainterDevice::ExpectRasterOps()
{
    if (RasterOpsWork || Backdrop || !Painter.device())
        return;
    Backdrop = std::make_unique<TRasterOpBackdrop>(QSizeF(Painter.device()->width(), Painter.device()->height()));
    Backdrop->Painter().setRenderHint(QPainter::TextAntialiasing, true);
    Clip(*Backdropped(), std::nullopt, Backdrop->FromDevice());
}

std::optional<TPainterDevice::TTarget> TPainterDevice::Backdropped()
{
    if (!Backdrop)
        return std::nullopt;
    return TTarget {Backdrop->Painter(), Base * Backdrop->FromDevice(), true, true};
}

bool TPainterDevice::NeedsBackdrop(QPainter::CompositionMode mode) const
{
    return Backdrop && mode >= QPainter::RasterOp_SourceOrDestination;
}

void TPainterDevice::SetClip(const std::optional<QRegion>& clip)
{
    if (!ClipsItself) {
        CutClip.reset();
        if (clip)
            CutClip = RegionOutline(*clip);
        if (OuterClip) {
            const QPainterPath outer = RegionOutline(Base.inverted().map(*OuterClip));
            CutClip = CutClip ? CutClip->intersected(outer) : outer;
        }
    } else {
        Clip(Own(), clip, QTransform());
    }
    if (const auto backdrop = Backdropped())
        Clip(*backdrop, clip, Backdrop->FromDevice());
}

void TPainterDevice::Clip(const TTarget& target, const std::optional<QRegion>& clip, const QTransform& deviceToTarget)
{
    // The player's regions are in the painter's own coordinates, as its paths
    // are; the clip the painter came with is kept in device pixels and mapped back.
    QPainter& painter = target.Painter;
    painter.setTransform(target.Base);
    const QTransform toPainter = target.Base.inverted();
    if (!clip && !OuterClip) {
        // Not setClipping(false): the raster engine then ignores the next
        // clip of several rectangles. One rectangle beyond any page clips nothing.
        if (painter.hasClipping())
            painter.setClipRect(toPainter.mapRect(QRectF(-1e7, -1e7, 2e7, 2e7)), Qt::ReplaceClip);
        return;
    }
    if (clip)
        painter.setClipRegion(*clip, Qt::ReplaceClip);
    if (OuterClip)
        painter.setClipRegion(toPainter.map(deviceToTarget.map(*OuterClip)), clip ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TPainterDevice::SetMode(const TTarget& target, QPainter::CompositionMode mode)
{
    if (mode >= QPainter::RasterOp_SourceOrDestination && !target.RasterOps) {
        switch (mode) {
        case QPainter::RasterOp_SourceAndDestination: mode = QPainter::CompositionMode_Multiply; break;
        case QPainter::RasterOp_SourceOrDestination: mode = QPainter::CompositionMode_Lighten; break;
        case QPainter::RasterOp_SourceXorDestination:
        case QPainter::RasterOp_NotDestination: mode = QPainter::CompositionMode_Difference; break;
        default: mode = QPainter::CompositionMode_SourceOver; break;
        }
    }
    target.Painter.setCompositionMode(mode);
}

void TPainterDevice::FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode)
{
    if (const auto backdrop = Backdropped())
        Fill(*backdrop, path, brush, mode);
    if (NeedsBackdrop(mode))
        return Backdrop->CopyTo(Painter, Base, path);
    Fill(Own(), CutClip ? CutToClip(path, *CutClip) : path, brush, mode);
}

void TPainterDevice::Fill(const TTarget& target, const QPainterPath& path, const QBrush& brush,
                          QPainter::CompositionMode mode)
{
    target.Painter.setTransform(target.Base);
    SetMode(target, mode);
    target.Painter.fillPath(path, brush);
}

void TPainterDevice::StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode)
{
    if (const auto backdrop = Backdropped())
        Stroke(*backdrop, path, pen, mode);
    const double deviceScale = std::sqrt(std::abs(Base.determinant()));
    if (NeedsBackdrop(mode)) {
        // The stroke's own area, widened by a pixel for the edges it touches.
        QPen area = pen;
        area.setStyle(Qt::SolidLine);
        area.setWidthF((pen.isCosmetic() || pen.widthF() == 0 ? std::max(1.0, pen.widthF()) / deviceScale : pen.widthF()) +
                       1 / deviceScale);
        area.setCosmetic(false);
        return Backdrop->CopyTo(Painter, Base, StrokeOutline(path, area, deviceScale));
    }
    if (CutClip)
        return Fill(Own(), CutToClip(StrokeOutline(path, pen, deviceScale), *CutClip), pen.brush(), mode);
    Stroke(Own(), path, pen, mode);
}

void TPainterDevice::Stroke(const TTarget& target, const QPainterPath& path, const QPen& pen,
                            QPainter::CompositionMode mode)
{
    target.Painter.setTransform(target.Base);
    SetMode(target, mode);
    // Qt's raster engine draws wide lines of one segment by a route of its own
    // that first cuts them to the clip, so that where the clip lies moves their
    // edges by a pixel; their outline filled is the same shape wherever the
    // clip lies, and a page drawn in strips comes out as drawn whole.
    if (target.Raster && !pen.isCosmetic() && pen.widthF() > 0 && pen.style() != Qt::NoPen) {
        QPainterPathStroker stroker(pen);
        target.Painter.fillPath(stroker.createStroke(path), pen.brush());
        return;
    }
    target.Painter.strokePath(path, pen);
}

void TPainterDevice::DrawText(const TTextRun& run)
{
    // Glyph numbers of a font we do not have would draw the wrong shapes.
    if (run.GlyphIndexes || run.Text.isEmpty() || run.Positions.empty())
        return;
    if (const auto backdrop = Backdropped())
        Text(*backdrop, run);
    if (CutClip) {
        const QString& glyphText = run.FontCodes.size() == run.Text.size() ? run.FontCodes : run.Text;
        Painter.setRenderHint(QPainter::Antialiasing, true);
        Fill(Own(), CutToClip(GlyphOutlines(glyphText, run.Positions, run.Font, run.Angle), *CutClip), run.Color,
             QPainter::CompositionMode_SourceOver);
        Painter.setRenderHint(QPainter::Antialiasing, false);
        return;
    }
    Text(Own(), run);
}

void TPainterDevice::Text(const TTarget& target, const TTextRun& run)
{
    QPainter& painter = target.Painter;
    const QPointF origin = run.Positions.front();
    QTransform toRun = QTransform::fromTranslate(origin.x(), origin.y());
    toRun.rotate(run.Angle);
    const QTransform fromDevice = toRun.inverted();
    painter.setTransform(toRun * target.Base);
    SetMode(target, QPainter::CompositionMode_SourceOver);
    painter.setPen(run.Color);

    const QString& glyphText = run.FontCodes.size() == run.Text.size() ? run.FontCodes : run.Text;
    const auto count = std::min<qsizetype>(glyphText.size(), static_cast<qsizetype>(run.Positions.size()));
    // A character outside the basic plane is two units drawn at the first one's place.
    const auto characterAt = [&](qsizetype i) {
        return glyphText.mid(i, glyphText.at(i).isHighSurrogate() && i + 1 < count ? 2 : 1);
    };
    const double glyphSize = GlyphSizeOnDevice(run.Font, painter.transform());
    const bool outlined = glyphSize >= kSmallestOutlinedGlyph;
    if (glyphSize > kLargestImagedGlyph) {
        ClearOutlineOffsets(run.Font, glyphText.left(count));
        painter.setTransform(target.Base);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillPath(GlyphOutlines(glyphText.left(count), run.Positions, run.Font, run.Angle), run.Color);
        painter.setRenderHint(QPainter::Antialiasing, false);
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
        const QString c = characterAt(i);
        const QPointF at = fromDevice.map(run.Positions[static_cast<std::size_t>(i)]);
        i += c.size() - 1;
        if (c.at(0).isSpace() || c.at(0).isNull())
            continue;
        const QList<quint32> indexes = raw.isValid() ? raw.glyphIndexesForString(c) : QList<quint32>();
        if (indexes.size() == 1 && indexes.front() != 0) {
            glyphs.append(indexes.front());
            positions.append(at);
        } else {
            if (outlined)
                ClearOutlineOffsets(run.Font, c);
            painter.setFont(run.Font);
            painter.drawText(at, c);
        }
    }
    if (!glyphs.isEmpty()) {
        QGlyphRun glyphRun;
        glyphRun.setRawFont(raw);
        glyphRun.setGlyphIndexes(glyphs);
        glyphRun.setPositions(positions);
        glyphRun.setUnderline(run.Font.underline());
        glyphRun.setStrikeOut(run.Font.strikeOut());
        painter.drawGlyphRun(QPointF(0, 0), glyphRun);
    }
}

void TPainterDevice::DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                               QPainter::CompositionMode mode, bool smooth)
{
    if (const auto backdrop = Backdropped())
        Image(*backdrop, image, source, imageToDevice, mode, smooth);
    if (NeedsBackdrop(mode)) {
        QPainterPath area;
        area.addPolygon(imageToDevice.map(QPolygonF(source)));
        area.closeSubpath();
        return Backdrop->CopyTo(Painter, Base, area);
    }
    if (CutClip) {
        // The source's pixels outside the clip made transparent.
        const QRect pixels = source.toAlignedRect().intersected(image.rect());
        QImage cut = image.copy(pixels).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter mask(&cut);
            mask.setTransform(imageToDevice.inverted() * QTransform::fromTranslate(-pixels.left(), -pixels.top()));
            mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            mask.fillPath(*CutClip, Qt::black);
        }
        return Image(Own(), cut, QRectF(cut.rect()), QTransform::fromTranslate(pixels.left(), pixels.top()) * imageToDevice,
                     mode, smooth);
    }
    Image(Own(), image, source, imageToDevice, mode, smooth);
}

void TPainterDevice::Image(const TTarget& target, const QImage& image, const QRectF& source,
                           const QTransform& imageToDevice, QPainter::CompositionMode mode, bool smooth)
{
    target.Painter.setTransform(imageToDevice * target.Base);
    target.Painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    SetMode(target, mode);
    target.Painter.drawImage(source, image, source);
}

}  // namespace qrp::emf
