// The bytes as one page recording, painted into a small image through the
// painter device, as pages and thumbnails are drawn. Recordings the container
// refuses end the input.

#include <cstdint>
#include <vector>

#include <QImage>
#include <QPainter>

#include "fuzz/offscreen_application.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/exceptions.h"

namespace {
constexpr int kImageSide = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qrp::fuzz::EnsureOffscreenApplication();
    qrp::TMetafile page;
    try {
        page = qrp::TMetafile(std::vector<std::uint8_t>(data, data + size));
    } catch (const qrp::Exception&) {
        return 0;
    }
    QImage image(kImageSide, kImageSide, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    qrp::emf::PlayMetafile(painter, page, QRectF(0, 0, kImageSide, kImageSide));
    return 0;
}
