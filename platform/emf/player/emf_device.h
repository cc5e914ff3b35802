#pragma once
// The narrow interface the EMF player draws through. Geometry arrives in the
// device's own coordinates with every mapping, transform and drawing
// convention already applied, so a device only paints (QPainter), records
// (tests) or measures. Calls come in drawing order.

#include <optional>
#include <vector>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QString>
#include <QTransform>

namespace qrp::emf {

// One run of text: every character placed on its own baseline origin.
struct TTextRun {
    QString Text;
    std::vector<QPointF> Positions;  // one per UTF-16 unit of Text, device coordinates
    QFont Font;                      // pixel size in device pixels
    QColor Color;
    qreal Angle = 0;                 // rotation of the glyphs, degrees clockwise on the device
    // The record gave glyph numbers of a font we do not have instead of
    // characters: Text holds U+FFFD for each, placed where the glyphs go. Such
    // glyphs are not drawn, since the numbers would pick the wrong shapes.
    bool GlyphIndexes = false;
    // Characters to look the glyphs up by in Font instead of Text, one per
    // unit of Text, when empty: a font of symbol codes (a metric-compatible
    // Symbol) holds its signs under the codes, not under the characters.
    QString FontCodes {};
};

class TEmfDevice {
public:
    virtual ~TEmfDevice() = default;

    // The clip for the calls that follow; none means the whole device.
    virtual void SetClip(const std::optional<QRegion>& clip) = 0;
    virtual void FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode) = 0;
    virtual void StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode) = 0;
    virtual void DrawText(const TTextRun& run) = 0;
    // Draws the source rectangle of image (image pixels) where imageToDevice
    // maps it; smooth: interpolated when scaled, else nearest pixel.
    virtual void DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                           QPainter::CompositionMode mode, bool smooth) = 0;
    // Called before the first call when the page combines colours with the
    // destination's (raster operations of the pen, inverting blits), so a
    // device that cannot read its destination can keep a picture of it.
    virtual void ExpectRasterOps() {}
};

}  // namespace qrp::emf
