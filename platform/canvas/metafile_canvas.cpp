#include "platform/canvas/metafile_canvas.h"

#include <QImage>
#include <QStringView>

#include "platform/canvas/bitmap.h"
#include "platform/canvas/canvas_font.h"
#include "platform/emf/emf_writer.h"
#include "platform/exceptions.h"

namespace qrp {

namespace {
std::uint32_t PenStyleOf(const TPen& pen)
{
    if (pen.Style == psClear)
        return emf::PS_NULL;
    if (pen.Style == psInsideFrame)
        return emf::PS_INSIDEFRAME;
    if (!pen.IsDashed())
        return emf::PS_SOLID;
    switch (pen.Style) {
    case psDash: return emf::PS_DASH;
    case psDot: return emf::PS_DOT;
    case psDashDot: return emf::PS_DASHDOT;
    default: return emf::PS_DASHDOTDOT;
    }
}

std::uint32_t HatchOf(TBrushStyle style)
{
    switch (style) {
    case bsVertical: return emf::HS_VERTICAL;
    case bsFDiagonal: return emf::HS_FDIAGONAL;
    case bsBDiagonal: return emf::HS_BDIAGONAL;
    case bsCross: return emf::HS_CROSS;
    case bsDiagCross: return emf::HS_DIAGCROSS;
    default: return emf::HS_HORIZONTAL;
    }
}

emf::TRectL ToRectL(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

emf::TRectL Inclusive(const TRect& r) { return {r.Left, r.Top, r.Right - 1, r.Bottom - 1}; }

TRect Intersection(const TRect& a, const TRect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// 24-bit rows, bottom-up, each padded to four bytes: a QImage in BGR888 has
// exactly that row layout, top-down.
std::vector<std::uint8_t> BottomUpBgrRows(const QImage& image)
{
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    const auto rowBytes = static_cast<std::size_t>(bgr.bytesPerLine());
    std::vector<std::uint8_t> bits;
    bits.reserve(rowBytes * static_cast<std::size_t>(bgr.height()));
    for (int y = bgr.height() - 1; y >= 0; --y)
        bits.insert(bits.end(), bgr.constScanLine(y), bgr.constScanLine(y) + rowBytes);
    return bits;
}
}  // namespace

TMetafileCanvas::TMetafileCanvas(int width, int height, int pixelsPerInch)
    : TCanvas(pixelsPerInch), Writer(std::make_unique<emf::TEmfWriter>(width, height, PixelsPerInch()))
{
}

TMetafileCanvas::~TMetafileCanvas() = default;

emf::TEmfWriter& TMetafileCanvas::Recording()
{
    if (!Writer)
        throw Exception("The page recording is already finished");
    return *Writer;
}

void TMetafileCanvas::Replace(std::uint32_t& handle, std::uint32_t created)
{
    Writer->SelectObject(created);
    if (handle != 0)
        Writer->DeleteObject(handle);
    handle = created;
}

void TMetafileCanvas::UsePen()
{
    if (RecordedPen == Pen)
        return;
    Replace(PenHandle, Recording().CreatePen(PenStyleOf(Pen), Pen.DrawnWidth(), Pen.Color));
    RecordedPen = Pen;
}

void TMetafileCanvas::UseBrush()
{
    if (RecordedBrush == Brush)
        return;
    const std::uint32_t style = Brush.Style == bsSolid ? emf::BS_SOLID
                                : Brush.Style == bsClear ? emf::BS_NULL
                                                         : emf::BS_HATCHED;
    Replace(BrushHandle, Recording().CreateBrush(style, Brush.Color, HatchOf(Brush.Style)));
    RecordedBrush = Brush;
}

void TMetafileCanvas::UseFont()
{
    if (RecordedFont && RecordedFont->SameTypeface(Font))
        return;
    const std::u16string face = Font.Name.toStdU16String();
    emf::TLogFont logFont;
    logFont.Height = Font.Height;
    logFont.Weight = (Font.Style & fsBold) ? 700 : 400;
    logFont.Italic = (Font.Style & fsItalic) != 0;
    logFont.Underline = (Font.Style & fsUnderline) != 0;
    logFont.StrikeOut = (Font.Style & fsStrikeOut) != 0;
    logFont.CharSet = Font.CharSet;
    logFont.FaceName = face;
    Replace(FontHandle, Recording().CreateFont(logFont));
    RecordedFont.emplace(Font);
}

void TMetafileCanvas::UseTextColor()
{
    if (RecordedTextColor == Font.Color)
        return;
    Recording().SetTextColor(Font.Color);
    RecordedTextColor = Font.Color;
}

void TMetafileCanvas::UseBackground()
{
    const std::optional<TColor> wanted = Brush.Style == bsSolid ? std::optional(Brush.Color) : std::nullopt;
    if (BackgroundRecorded && RecordedBackground == wanted)
        return;
    const bool modeChanges = !BackgroundRecorded || RecordedBackground.has_value() != wanted.has_value();
    if (modeChanges)
        Recording().SetBkMode(wanted ? emf::OPAQUE : emf::TRANSPARENT);
    if (wanted)
        Recording().SetBkColor(*wanted);
    RecordedBackground = wanted;
    BackgroundRecorded = true;
}

int TMetafileCanvas::PenOutset() const
{
    return Pen.Style == psInsideFrame ? 0 : Pen.DrawnWidth() / 2;
}

void TMetafileCanvas::IncludeDrawn(const TRect& rect, int outset)
{
    Writer->IncludeInBounds(
        {rect.Left - outset, rect.Top - outset, rect.Right - 1 + outset, rect.Bottom - 1 + outset});
}

void TMetafileCanvas::DrawLine(TPoint from, TPoint to)
{
    emf::TEmfWriter& writer = Recording();
    UsePen();
    UseBackground();
    if (RecordedPosition != from)
        writer.MoveTo(from.X, from.Y);
    writer.LineTo(to.X, to.Y);
    RecordedPosition = to;
    IncludeDrawn(TRect {std::min(from.X, to.X), std::min(from.Y, to.Y), std::max(from.X, to.X) + 1,
                        std::max(from.Y, to.Y) + 1},
                 Pen.DrawnWidth() / 2);
}

void TMetafileCanvas::DrawRectangle(const TRect& rect)
{
    emf::TEmfWriter& writer = Recording();
    UsePen();
    UseBrush();
    UseBackground();
    writer.Rectangle(ToRectL(rect));
    IncludeDrawn(rect, PenOutset());
}

void TMetafileCanvas::DrawEllipse(const TRect& rect)
{
    emf::TEmfWriter& writer = Recording();
    UsePen();
    UseBrush();
    UseBackground();
    writer.Ellipse(ToRectL(rect));
    IncludeDrawn(rect, PenOutset());
}

void TMetafileCanvas::DrawFillRect(const TRect& rect)
{
    emf::TEmfWriter& writer = Recording();
    UseBrush();
    UseBackground();
    writer.PatBlt(ToRectL(rect));
}

void TMetafileCanvas::DrawFrameRect(const TRect& rect)
{
    emf::TEmfWriter& writer = Recording();
    UseBrush();
    UseBackground();
    for (const TRect& edge : FrameEdges(rect))
        if (!edge.IsEmpty())
            writer.PatBlt(ToRectL(edge));
}

void TMetafileCanvas::DrawText(int x, int y, const QString& text, const std::optional<TRect>& clip)
{
    emf::TEmfWriter& writer = Recording();
    UseFont();
    UseTextColor();
    UseBackground();
    if (!AlignmentRecorded) {
        writer.SetTextAlign(emf::TA_TOP_LEFT);
        AlignmentRecorded = true;
    }
    const TCanvasFont& font = CurrentFont();
    const std::vector<int> advances = font.Advances(text);
    const TRect cell {x, y, x + font.Width(text), y + font.CellHeight()};
    std::uint32_t options = 0;
    TRect covered = cell;
    if (clip) {
        options = emf::ETO_CLIPPED;
        covered = Intersection(cell, *clip);
        if (Brush.Style == bsSolid) {
            options |= emf::ETO_OPAQUE;
            covered = *clip;
        }
    }
    const QStringView units(text);
    writer.ExtTextOut(x, y, options, clip ? ToRectL(*clip) : emf::TRectL {0, 0, -1, -1},
                      std::u16string_view(units.utf16(), static_cast<std::size_t>(units.size())), advances,
                      Inclusive(covered));
}

void TMetafileCanvas::DrawMetafile(const TRect& rect, const TMetafile& page)
{
    // A page inside a page is recorded as its picture at the size it is drawn.
    Recording();
    TBitmap picture(rect.Width(), rect.Height());
    picture.Canvas().StretchDraw(TRect {0, 0, rect.Width(), rect.Height()}, page);
    DrawBitmap(rect, picture);
}

void TMetafileCanvas::DrawBitmap(const TRect& rect, const TBitmap& bitmap)
{
    emf::TEmfWriter& writer = Recording();
    const std::vector<std::uint8_t> bits = BottomUpBgrRows(bitmap.Image());
    writer.StretchDIBits(ToRectL(rect), emf::TDibPixels {bitmap.Width(), bitmap.Height(), 24, bits});
}

void TMetafileCanvas::ApplyClip()
{
    emf::TEmfWriter& writer = Recording();
    if (ClipRect())
        writer.SelectClipRect(ToRectL(*ClipRect()));
    else
        writer.ResetClip();
}

TMetafile TMetafileCanvas::Finish()
{
    emf::TEmfWriter& writer = Recording();
    // Stock objects take the created ones' place so that each can be deleted.
    const std::pair<std::uint32_t, std::uint32_t> created[] = {
        {PenHandle, emf::BLACK_PEN}, {BrushHandle, emf::WHITE_BRUSH}, {FontHandle, emf::SYSTEM_FONT}};
    for (const auto& [handle, stock] : created)
        if (handle != 0) {
            writer.SelectObject(stock);
            writer.DeleteObject(handle);
        }
    std::vector<std::uint8_t> bytes = writer.Finish();
    Writer.reset();
    return TMetafile(std::move(bytes));
}

}  // namespace qrp
