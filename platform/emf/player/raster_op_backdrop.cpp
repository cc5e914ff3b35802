#include "platform/emf/player/raster_op_backdrop.h"

#include <algorithm>
#include <cmath>

namespace qrp::emf {

namespace {
double BackdropScale(const QSizeF& deviceSize)
{
    const double pixels = std::max(1.0, deviceSize.width()) * std::max(1.0, deviceSize.height());
    return std::min(1.0, std::sqrt(TRasterOpBackdrop::kMaxPixels / pixels));
}
}  // namespace

TRasterOpBackdrop::TRasterOpBackdrop(const QSizeF& deviceSize)
{
    const double scale = BackdropScale(deviceSize);
    const QSize size(std::max(1, static_cast<int>(std::ceil(deviceSize.width() * scale))),
                     std::max(1, static_cast<int>(std::ceil(deviceSize.height() * scale))));
    Image = QImage(size, QImage::Format_RGB32);
    Image.fill(Qt::white);  // the paper
    DeviceToBackdrop = QTransform::fromScale(scale, scale);
    Backdrop.begin(&Image);
}

void TRasterOpBackdrop::CopyTo(QPainter& target, const QTransform& base, const QPainterPath& shape)
{
    const QRect pixels = (base * DeviceToBackdrop).mapRect(shape.boundingRect()).toAlignedRect().intersected(Image.rect());
    if (pixels.isEmpty())
        return;
    // The raster engine paints straight into the image's memory, so the
    // picture can be read while its painter is active.
    const QImage piece = Image.copy(pixels);
    target.save();
    target.setTransform(base);
    target.setClipPath(shape, target.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    target.setCompositionMode(QPainter::CompositionMode_SourceOver);
    target.setTransform(DeviceToBackdrop.inverted());
    target.drawImage(QPointF(pixels.topLeft()), piece);
    target.restore();
}

}  // namespace qrp::emf
