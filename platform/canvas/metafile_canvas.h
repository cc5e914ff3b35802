#pragma once
// The recording canvas: every drawing call becomes enhanced-metafile records
// of a page recording whose reference device is the screen. Pens, brushes and
// fonts become objects when a drawing call first needs them in a new state;
// the object they replace is deleted. Text records carry the advance of every
// character as the screen's font measures it, so a reader that places
// characters by them puts each where the canvas measured it.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/canvas/canvas.h"
#include "platform/canvas/screen_resolution.h"
#include "platform/emf/metafile.h"

namespace qrp {

namespace emf {
class TEmfWriter;
}

class TMetafileCanvas : public TCanvas {
public:
    // A page recording width × height pixels large, measured at pixelsPerInch.
    TMetafileCanvas(int width, int height, int pixelsPerInch = ScreenPixelsPerInch());
    ~TMetafileCanvas() override;

    // Completes the recording (header with bounds, frame and counts, every
    // object deleted, end-of-file record) and returns it. Drawing afterwards
    // raises qrp::Exception.
    TMetafile Finish();

protected:
    void DrawLine(TPoint from, TPoint to) override;
    void DrawRectangle(const TRect& rect) override;
    void DrawEllipse(const TRect& rect) override;
    void DrawFillRect(const TRect& rect) override;
    void DrawFrameRect(const TRect& rect) override;
    void DrawText(int x, int y, const QString& text, const std::optional<TRect>& clip) override;
    void DrawMetafile(const TRect& rect, const TMetafile& page) override;
    void DrawBitmap(const TRect& rect, const TBitmap& bitmap) override;
    void ApplyClip() override;
    QPaintDevice* MeasuringDevice() override { return nullptr; }

private:
    // The recording's state brought in line with the canvas's before a drawing call.
    emf::TEmfWriter& Recording();
    void UsePen();
    void UseBrush();
    void UseFont();
    void UseTextColor();
    void UseBackground();
    void Replace(std::uint32_t& handle, std::uint32_t created);
    // Adds rect, grown by outset pixels on every side, to the picture's bounds.
    void IncludeDrawn(const TRect& rect, int outset);
    int PenOutset() const;

    std::unique_ptr<emf::TEmfWriter> Writer;  // none once finished
    std::optional<TPen> RecordedPen;
    std::optional<TBrush> RecordedBrush;
    std::optional<TFont> RecordedFont;
    std::uint32_t PenHandle = 0, BrushHandle = 0, FontHandle = 0;
    std::optional<TColor> RecordedTextColor;
    std::optional<TColor> RecordedBackground;  // none: transparent
    bool BackgroundRecorded = false;
    bool AlignmentRecorded = false;
    std::optional<TPoint> RecordedPosition;
};

}  // namespace qrp
