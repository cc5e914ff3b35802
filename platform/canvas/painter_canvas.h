#pragma once
// A canvas that draws on a QPainter: a widget, a QImage, a printer, a PDF or
// SVG generator. Pixels are the painter's device pixels (or its logical
// units, when the caller has set a transformation), the resolution is the
// device's. Shapes are drawn without antialiasing so that pixels land where
// the canvas rules put them; text is antialiased.

#include <optional>

#include <QRegion>

#include "platform/canvas/canvas.h"

class QPainter;

namespace qrp {

class TPainterCanvas : public TCanvas {
public:
    // Draws on an active painter, which must outlive the canvas. The clip the
    // painter has now bounds every clip rectangle set later.
    explicit TPainterCanvas(QPainter& painter);

protected:
    // For canvases whose painter begins on demand: they override
    // ActivePainter() and call PainterBegun() each time it begins.
    explicit TPainterCanvas(int pixelsPerInch);
    virtual QPainter& ActivePainter();
    void PainterBegun(QPainter& painter);

    void DrawLine(TPoint from, TPoint to) override;
    void DrawRectangle(const TRect& rect) override;
    void DrawEllipse(const TRect& rect) override;
    void DrawFillRect(const TRect& rect) override;
    void DrawFrameRect(const TRect& rect) override;
    void DrawText(int x, int y, const QString& text, const std::optional<TRect>& clip) override;
    void DrawMetafile(const TRect& rect, const TMetafile& page) override;
    void DrawBitmap(const TRect& rect, const TBitmap& bitmap) override;
    void ApplyClip() override;
    QPaintDevice* MeasuringDevice() override;

private:
    // The painter with the pen, brush and background of the canvas's state.
    QPainter& PreparedPainter(bool withPen, bool withBrush);
    void ApplyClipTo(QPainter& painter) const;
    void DrawShape(const TRect& rect, bool ellipse);

    QPainter* Painter = nullptr;
    std::optional<QRegion> OuterClip;
};

}  // namespace qrp
