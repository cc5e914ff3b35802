#include "platform/canvas/bitmap.h"

#include <algorithm>
#include <string>

#include <QPainter>

#include "platform/canvas/painter_canvas.h"
#include "platform/exceptions.h"

namespace qrp {

namespace {
// White pixels of the given size with content drawn over them from the top left.
QImage OnWhite(int width, int height, const QImage& content = {})
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (image.isNull() && width > 0 && height > 0)
        throw Exception("Cannot create a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels");
    image.fill(Qt::white);
    if (!image.isNull() && !content.isNull()) {
        QPainter copier(&image);
        copier.drawImage(0, 0, content);
    }
    return image;
}
}  // namespace

// Paints on the bitmap's pixels from the first drawing call until someone
// reads the pixels or resizes them; the next call begins again.
class TBitmap::TBitmapCanvas : public TPainterCanvas {
public:
    explicit TBitmapCanvas(QImage& pixels) : TPainterCanvas(pixels.logicalDpiY()), Pixels(pixels) {}

    void EndPainting()
    {
        if (Painter.isActive())
            Painter.end();
    }

protected:
    QPainter& ActivePainter() override
    {
        if (!Painter.isActive()) {
            if (Pixels.isNull() || !Painter.begin(&Pixels))
                throw Exception("Cannot draw on an empty bitmap");
            PainterBegun(Painter);
        }
        return Painter;
    }

    QPaintDevice* MeasuringDevice() override { return &Pixels; }

private:
    QImage& Pixels;
    QPainter Painter;
};

TBitmap::TBitmap(int width, int height) : Pixels(OnWhite(width, height)) {}

TBitmap::TBitmap(const QImage& image) : Pixels(OnWhite(image.width(), image.height(), image)) {}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    if (DrawingCanvas)
        DrawingCanvas->EndPainting();
    Pixels = OnWhite(width, height, Pixels);
}

TCanvas& TBitmap::Canvas()
{
    if (!DrawingCanvas)
        DrawingCanvas = std::make_unique<TBitmapCanvas>(Pixels);
    return *DrawingCanvas;
}

const QImage& TBitmap::Image() const
{
    if (DrawingCanvas)
        DrawingCanvas->EndPainting();
    return Pixels;
}

}  // namespace qrp
