// The bytes as one page recording, painted into a small image through the
// painter device, as pages and thumbnails are drawn. Recordings the container
// refuses end the input.

#include <cstdint>
#include <optional>

#include <QImage>
#include <QPainter>

#include "fuzz/player_input.h"
#include "platform/emf/player/emf_player.h"

namespace {
constexpr int kImageSide = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<qrp::TMetafile> page = qrp::fuzz::PageRecording(data, size);
    if (!page)
        return 0;
    QImage image(kImageSide, kImageSide, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    qrp::emf::PlayMetafile(painter, *page, QRectF(0, 0, kImageSide, kImageSide));
    return 0;
}
