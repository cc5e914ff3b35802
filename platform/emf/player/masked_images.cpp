#include "platform/emf/player/masked_images.h"

#include <algorithm>

#include "platform/emf/emf_records.h"

namespace qrp::emf {

namespace {
constexpr std::uint32_t kDestinationCopy = 0x00AA0029;  // the destination left as it is

bool IsLight(QRgb pixel) { return qGray(pixel) >= 128; }

// The colour one pixel of a ternary raster operation leaves: none keeps the destination.
std::optional<QRgb> RopPixel(std::uint32_t rop, QRgb source)
{
    switch (rop & 0x00FF0000u) {
    case kDestinationCopy & 0x00FF0000u: return std::nullopt;
    case BLACKNESS & 0x00FF0000u: return qRgb(0, 0, 0);
    case WHITENESS & 0x00FF0000u: return qRgb(255, 255, 255);
    case NOTSRCCOPY & 0x00FF0000u: return qRgb(255 - qRed(source), 255 - qGreen(source), 255 - qBlue(source));
    default: return source | 0xFF000000u;
    }
}
}  // namespace

QImage PremultipliedSource(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int a = qAlpha(row[x]);
            row[x] = qRgba(std::min(qRed(row[x]), a), std::min(qGreen(row[x]), a), std::min(qBlue(row[x]), a), a);
        }
    }
    out.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return out;
}

std::optional<QImage> MergeMaskPair(const QImage& mask, const QImage& image)
{
    if (mask.size() != image.size())
        return std::nullopt;
    const QImage m = mask.convertToFormat(QImage::Format_ARGB32);
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        const auto* maskRow = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb maskPixel = maskRow[x] & 0xFFFFFFu;
            if (maskPixel == 0)
                row[x] |= 0xFF000000u;  // the destination cleared, then the image
            else if (maskPixel == 0xFFFFFFu && (row[x] & 0xFFFFFFu) == 0)
                row[x] = 0;  // the destination kept, then nothing added
            else
                return std::nullopt;
        }
    }
    return out;
}

QImage ApplyMaskBlt(const QImage& source, const QImage& mask, QPoint maskOrigin, std::uint32_t quaternaryRop)
{
    const std::uint32_t foreground = quaternaryRop & 0x00FFFFFFu;
    const std::uint32_t background = (quaternaryRop >> 8) & 0x00FF0000u;
    const QImage m = mask.convertToFormat(QImage::Format_ARGB32);
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int maskY = y + maskOrigin.y();
        const bool maskRowInside = maskY >= 0 && maskY < m.height();
        const auto* maskRow = maskRowInside ? reinterpret_cast<const QRgb*>(m.constScanLine(maskY)) : nullptr;
        for (int x = 0; x < out.width(); ++x) {
            const int maskX = x + maskOrigin.x();
            const bool light = !maskRow || maskX < 0 || maskX >= m.width() || IsLight(maskRow[maskX]);
            const auto pixel = RopPixel(light ? foreground : background, row[x]);
            row[x] = pixel ? *pixel : 0;
        }
    }
    return out;
}

}  // namespace qrp::emf
