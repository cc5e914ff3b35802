#pragma once
// The drawing surface reports are drawn on: a pen, a brush and a font, and
// the operations the report printer, the preview and the print job use.
// Coordinates are whole pixels of the surface; rectangles exclude their right
// and bottom edges, so Rectangle({0, 0, 10, 10}) covers pixels 0..9 with its
// outline. A canvas draws on a painter (TPainterCanvas), into an off-screen
// bitmap (TBitmap) or into a page recording (TMetafileCanvas).
//
// Rules every canvas keeps:
// - Rectangle and Ellipse outline with the pen and fill with the brush; with
//   psClear the filled area is one pixel smaller to the right and bottom.
//   psInsideFrame keeps a wide outline inside the rectangle; other wide pens
//   are centred on it. LineTo leaves out the end point of a one-pixel line.
// - FillRect and FrameRect use the brush only; FrameRect draws a one-pixel border.
// - With a solid brush, text cells, the gaps of dashed lines and TextRect's
//   rectangle are filled with the brush colour; with any other brush they
//   are left alone.
// - Text is placed by the top left of its cell; characters advance by the
//   whole-pixel widths TextWidth adds up.

#include <array>
#include <memory>
#include <optional>

#include <QString>

#include "platform/canvas/graphics_objects.h"

class QPaintDevice;

namespace qrp {

class TBitmap;
class TCanvasFont;
class TMetafile;

class TCanvas {
public:
    explicit TCanvas(int pixelsPerInch);
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;

    int PixelsPerInch() const { return Resolution; }
    TPoint PenPos() const { return Position; }

    void MoveTo(int x, int y);
    // A line from the pen position to (x, y), which becomes the pen position.
    void LineTo(int x, int y);
    void Rectangle(const TRect& rect);
    void Rectangle(int left, int top, int right, int bottom) { Rectangle(TRect {left, top, right, bottom}); }
    void Ellipse(const TRect& rect);
    void Ellipse(int left, int top, int right, int bottom) { Ellipse(TRect {left, top, right, bottom}); }
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);

    // Text with its cell's top left at (x, y), in the font's colour.
    void TextOut(int x, int y, const QString& text);
    // Text at (x, y) drawn only inside rect, which a solid brush fills first.
    void TextRect(const TRect& rect, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    // The cell height of the font: ascent plus descent.
    int TextHeight(const QString& text);

    // Drawing outside rect leaves the surface alone until the clip is reset.
    void SetClipRect(const TRect& rect);
    void ResetClipRect();
    std::optional<TRect> ClipRect() const { return Clip; }

    // A page recording with its frame stretched onto rect.
    void StretchDraw(const TRect& rect, const TMetafile& page);
    // A bitmap at its own size, or stretched onto rect.
    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const TRect& rect, const TBitmap& bitmap);

protected:
    // What each kind of canvas does; the public calls have already skipped
    // what draws nothing (empty rectangles, clear pen and brush, empty text)
    // and normalised shape rectangles.
    virtual void DrawLine(TPoint from, TPoint to) = 0;
    virtual void DrawRectangle(const TRect& rect) = 0;
    virtual void DrawEllipse(const TRect& rect) = 0;
    virtual void DrawFillRect(const TRect& rect) = 0;
    virtual void DrawFrameRect(const TRect& rect) = 0;
    // clip: TextRect's rectangle, or none for TextOut.
    virtual void DrawText(int x, int y, const QString& text, const std::optional<TRect>& clip) = 0;
    virtual void DrawMetafile(const TRect& rect, const TMetafile& page) = 0;
    virtual void DrawBitmap(const TRect& rect, const TBitmap& bitmap) = 0;
    virtual void ApplyClip() = 0;
    // The device fonts are measured on; null for the screen.
    virtual QPaintDevice* MeasuringDevice() = 0;

    // The current Font, measured on MeasuringDevice().
    const TCanvasFont& CurrentFont();
    // The one-pixel edges FrameRect draws: top, bottom, left, right; some are
    // empty for rectangles less than three pixels high.
    static std::array<TRect, 4> FrameEdges(const TRect& rect);

private:
    int Resolution;
    TPoint Position;
    std::optional<TRect> Clip;
    std::unique_ptr<TCanvasFont> MeasuredFont;
};

}  // namespace qrp
