#include "platform/canvas/painter_canvas.h"

#include <QPainter>

#include "platform/canvas/bitmap.h"
#include "platform/canvas/canvas_font.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/exceptions.h"

namespace qrp {

namespace {
QColor ToQColor(TColor color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// One-pixel pens use their dash patterns in pixels and leave out a line's
// end point (a flat cap on an aliased line); wider pens are solid with round
// ends and joins.
QPen QtPen(const TPen& pen)
{
    if (pen.Style == psClear)
        return Qt::NoPen;
    QPen qtPen(ToQColor(pen.Color), pen.DrawnWidth());
    if (pen.DrawnWidth() == 1) {
        qtPen.setCapStyle(Qt::FlatCap);
        qtPen.setJoinStyle(Qt::MiterJoin);
    } else {
        qtPen.setCapStyle(Qt::RoundCap);
        qtPen.setJoinStyle(Qt::RoundJoin);
    }
    if (pen.IsDashed()) {
        switch (pen.Style) {
        case psDash: qtPen.setDashPattern({18, 6}); break;
        case psDot: qtPen.setDashPattern({3, 3}); break;
        case psDashDot: qtPen.setDashPattern({9, 6, 3, 6}); break;
        default: qtPen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
        }
    }
    return qtPen;
}

QBrush QtBrush(const TBrush& brush)
{
    const QColor color = ToQColor(brush.Color);
    switch (brush.Style) {
    case bsSolid: return QBrush(color, Qt::SolidPattern);
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return QBrush(color, Qt::HorPattern);
    case bsVertical: return QBrush(color, Qt::VerPattern);
    case bsFDiagonal: return QBrush(color, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(color, Qt::BDiagPattern);
    case bsCross: return QBrush(color, Qt::CrossPattern);
    case bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
    }
    return Qt::NoBrush;
}

int DeviceResolution(const QPainter& painter)
{
    if (!painter.isActive() || !painter.device())
        throw Exception("A canvas needs a painter that is painting");
    return painter.device()->logicalDpiY();
}
}  // namespace

TPainterCanvas::TPainterCanvas(QPainter& painter) : TCanvas(DeviceResolution(painter)), Painter(&painter)
{
    if (painter.hasClipping())
        OuterClip = painter.clipRegion();
    PainterBegun(painter);
}

TPainterCanvas::TPainterCanvas(int pixelsPerInch) : TCanvas(pixelsPerInch) {}

QPainter& TPainterCanvas::ActivePainter() { return *Painter; }

void TPainterCanvas::PainterBegun(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    ApplyClipTo(painter);
}

QPaintDevice* TPainterCanvas::MeasuringDevice() { return ActivePainter().device(); }

QPainter& TPainterCanvas::PreparedPainter(bool withPen, bool withBrush)
{
    QPainter& painter = ActivePainter();
    painter.setPen(withPen ? QtPen(Pen) : QPen(Qt::NoPen));
    painter.setBrush(withBrush ? QtBrush(Brush) : QBrush(Qt::NoBrush));
    if (Brush.Style == bsSolid) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(ToQColor(Brush.Color));
    } else {
        painter.setBackgroundMode(Qt::TransparentMode);
    }
    return painter;
}

void TPainterCanvas::ApplyClipTo(QPainter& painter) const
{
    if (OuterClip)
        painter.setClipRegion(*OuterClip);
    else
        painter.setClipping(false);
    if (ClipRect())
        painter.setClipRect(ToQRect(*ClipRect()), OuterClip ? Qt::IntersectClip : Qt::ReplaceClip);
}

void TPainterCanvas::ApplyClip() { ApplyClipTo(ActivePainter()); }

void TPainterCanvas::DrawLine(TPoint from, TPoint to)
{
    QPainter& painter = PreparedPainter(true, false);
    if (Pen.DrawnWidth() == 1)
        painter.drawLine(QPoint(from.X, from.Y), QPoint(to.X, to.Y));
    else
        painter.drawLine(QPointF(from.X + 0.5, from.Y + 0.5), QPointF(to.X + 0.5, to.Y + 0.5));
}

void TPainterCanvas::DrawShape(const TRect& r, bool ellipse)
{
    QPainter& painter = PreparedPainter(Pen.Style != psClear, Brush.Style != bsClear);
    const int width = Pen.DrawnWidth();
    QRectF outline;
    if (Pen.Style == psClear) {
        outline = QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
        if (outline.isEmpty())
            return;
    } else if (Pen.Style == psInsideFrame && width > 1) {
        const qreal half = width / 2.0;
        outline = QRectF(r.Left + half, r.Top + half, std::max(r.Width() - width, 0), std::max(r.Height() - width, 0));
    } else if (width == 1) {
        // A one-pixel outline lights the pixels at its integer coordinates.
        outline = QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    } else {
        // A wider pen is centred on the outer pixels' centres.
        outline = QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    }
    ellipse ? painter.drawEllipse(outline) : painter.drawRect(outline);
}

void TPainterCanvas::DrawRectangle(const TRect& rect) { DrawShape(rect, false); }

void TPainterCanvas::DrawEllipse(const TRect& rect) { DrawShape(rect, true); }

void TPainterCanvas::DrawFillRect(const TRect& rect)
{
    QPainter& painter = PreparedPainter(false, true);
    painter.fillRect(ToQRect(rect), painter.brush());
}

void TPainterCanvas::DrawFrameRect(const TRect& rect)
{
    QPainter& painter = PreparedPainter(false, true);
    for (const TRect& edge : FrameEdges(rect))
        if (!edge.IsEmpty())
            painter.fillRect(ToQRect(edge), painter.brush());
}

void TPainterCanvas::DrawText(int x, int y, const QString& text, const std::optional<TRect>& clip)
{
    const TCanvasFont& font = CurrentFont();
    QPainter& painter = PreparedPainter(false, false);
    painter.save();
    if (clip)
        painter.setClipRect(ToQRect(*clip), painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (Brush.Style == bsSolid) {
        const QColor background = ToQColor(Brush.Color);
        if (clip)
            painter.fillRect(ToQRect(*clip), background);
        painter.fillRect(QRect(x, y, font.Width(text), font.CellHeight()), background);
    }
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(font.Font());
    painter.setPen(ToQColor(Font.Color));
    painter.drawText(QPointF(x, y + font.Ascent()), text);
    painter.restore();
}

void TPainterCanvas::DrawMetafile(const TRect& rect, const TMetafile& page)
{
    QPainter& painter = ActivePainter();
    painter.save();
    emf::PlayMetafile(painter, page, QRectF(ToQRect(rect)));
    painter.restore();
}

void TPainterCanvas::DrawBitmap(const TRect& rect, const TBitmap& bitmap)
{
    // The image first: a bitmap drawn onto its own canvas finishes its painting before it is read.
    const QImage image = bitmap.Image();
    ActivePainter().drawImage(ToQRect(rect), image);
}

}  // namespace qrp
