#include "platform/canvas/canvas.h"

#include "platform/canvas/bitmap.h"
#include "platform/canvas/canvas_font.h"
#include "platform/emf/metafile.h"

namespace qrp {

TCanvas::TCanvas(int pixelsPerInch) : Font(pixelsPerInch), Resolution(Font.PixelsPerInch()) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int x, int y) { Position = {x, y}; }

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = Position;
    Position = {x, y};
    if (Pen.Style != psClear)
        DrawLine(from, Position);
}

void TCanvas::Rectangle(const TRect& rect)
{
    const TRect shape = rect.Normalized();
    if (!shape.IsEmpty() && (Pen.Style != psClear || Brush.Style != bsClear))
        DrawRectangle(shape);
}

void TCanvas::Ellipse(const TRect& rect)
{
    const TRect shape = rect.Normalized();
    if (!shape.IsEmpty() && (Pen.Style != psClear || Brush.Style != bsClear))
        DrawEllipse(shape);
}

void TCanvas::FillRect(const TRect& rect)
{
    if (!rect.IsEmpty() && Brush.Style != bsClear)
        DrawFillRect(rect);
}

void TCanvas::FrameRect(const TRect& rect)
{
    if (!rect.IsEmpty() && Brush.Style != bsClear)
        DrawFrameRect(rect);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (!text.isEmpty())
        DrawText(x, y, text, std::nullopt);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    if (!rect.IsEmpty())
        DrawText(x, y, text, rect);
}

int TCanvas::TextWidth(const QString& text) { return CurrentFont().Width(text); }

int TCanvas::TextHeight(const QString&) { return CurrentFont().CellHeight(); }

void TCanvas::SetClipRect(const TRect& rect)
{
    Clip = rect.Normalized();
    ApplyClip();
}

void TCanvas::ResetClipRect()
{
    Clip.reset();
    ApplyClip();
}

void TCanvas::StretchDraw(const TRect& rect, const TMetafile& page)
{
    if (!rect.IsEmpty() && !page.Empty())
        DrawMetafile(rect, page);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    StretchDraw({x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap)
{
    if (!rect.IsEmpty() && bitmap.Width() > 0 && bitmap.Height() > 0)
        DrawBitmap(rect, bitmap);
}

const TCanvasFont& TCanvas::CurrentFont()
{
    QPaintDevice* device = MeasuringDevice();
    if (!MeasuredFont || !MeasuredFont->Describes(Font, device))
        MeasuredFont = std::make_unique<TCanvasFont>(Font, device);
    return *MeasuredFont;
}

std::array<TRect, 4> TCanvas::FrameEdges(const TRect& r)
{
    return {TRect {r.Left, r.Top, r.Right, r.Top + 1}, TRect {r.Left, r.Bottom - 1, r.Right, r.Bottom},
            TRect {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, TRect {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}};
}

}  // namespace qrp
