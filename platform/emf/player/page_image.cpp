#include "platform/emf/player/page_image.h"

#include <cmath>

#include <QPainter>

#include "platform/emf/metafile.h"

namespace qrp::emf {

namespace {
// Larger pictures than this many pixels per side are not rendered whole.
constexpr double kMaxSide = 32768;
constexpr double kMaxPixels = 256.0 * 1024 * 1024;
}  // namespace

QSize FramePixelSize(const TMetafile& page, double dotsPerInch)
{
    const auto& frame = page.Header().Frame;
    const double width = std::round((static_cast<double>(frame.Right) - frame.Left) * dotsPerInch / 2540);
    const double height = std::round((static_cast<double>(frame.Bottom) - frame.Top) * dotsPerInch / 2540);
    if (!std::isfinite(width) || !std::isfinite(height) || width > kMaxSide || height > kMaxSide ||
        std::max(width, 1.0) * std::max(height, 1.0) > kMaxPixels)
        return {};
    return QSize(static_cast<int>(std::max(width, 1.0)), static_cast<int>(std::max(height, 1.0)));
}

QImage RenderPageImage(const TMetafile& page, double dotsPerInch, const TProblemHandler& onProblem)
{
    const QSize size = FramePixelSize(page, dotsPerInch);
    if (size.isEmpty())
        return {};
    // Opaque pixels: a caller saving them as RGB32 shares them instead of
    // copying a picture that may take hundreds of megabytes.
    QImage image(size, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    PlayMetafile(painter, page, QRectF(QPointF(0, 0), QSizeF(size)), onProblem);
    painter.end();
    return image;
}

}  // namespace qrp::emf
