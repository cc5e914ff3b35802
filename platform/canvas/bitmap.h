#pragma once
// An off-screen bitmap: 32-bit pixels without transparency, at the screen's
// resolution, with a canvas of its own. New pixels are white.

#include <memory>

#include <QImage>

namespace qrp {

class TCanvas;

class TBitmap {
public:
    // Raises qrp::Exception when the pixels cannot be had.
    TBitmap(int width = 0, int height = 0);
    // A copy of image's pixels.
    explicit TBitmap(const QImage& image);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return Pixels.width(); }
    int Height() const { return Pixels.height(); }
    // Keeps the pixels that still fit; the rest are white.
    void SetSize(int width, int height);

    // The canvas that draws on the bitmap; the same object for the bitmap's life.
    TCanvas& Canvas();
    // The pixels with everything drawn so far.
    const QImage& Image() const;

private:
    class TBitmapCanvas;

    QImage Pixels;
    std::unique_ptr<TBitmapCanvas> DrawingCanvas;
};

}  // namespace qrp
