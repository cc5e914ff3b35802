#pragma once
// A raster picture of what a vector device (PDF, SVG, a printer's PDF) has
// drawn so far. Raster operations combine a figure's colour with the
// destination's, which such devices cannot read: the figure is drawn here
// with its operation, and the pixels it leaves are copied onto the device as
// an image inside the figure's own shape.

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace qrp::emf {

class TRasterOpBackdrop {
public:
    // A picture of a device deviceSize pixels large, at the device's
    // resolution or below, within kMaxPixels.
    explicit TRasterOpBackdrop(const QSizeF& deviceSize);
    TRasterOpBackdrop(const TRasterOpBackdrop&) = delete;
    TRasterOpBackdrop& operator=(const TRasterOpBackdrop&) = delete;

    static constexpr double kMaxPixels = 16.0 * 1024 * 1024;

    QPainter& Painter() { return Backdrop; }
    // Device pixels to the picture's pixels.
    const QTransform& FromDevice() const { return DeviceToBackdrop; }
    // Draws onto target the picture's pixels inside shape, given in the
    // coordinates base maps to target's device, within target's clip.
    void CopyTo(QPainter& target, const QTransform& base, const QPainterPath& shape);

private:
    QImage Image;
    QPainter Backdrop;
    QTransform DeviceToBackdrop;
};

}  // namespace qrp::emf
