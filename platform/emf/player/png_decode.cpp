#include "platform/emf/player/png_decode.h"

#include <png.h>

#include "platform/emf/player/dib.h"

namespace qrp::emf {

namespace {

// Frees what libpng holds for a picture, however the read ends.
struct TPngRead {
    png_image Image {};
    TPngRead() { Image.version = PNG_IMAGE_VERSION; }
    ~TPngRead() { png_image_free(&Image); }
    TPngRead(const TPngRead&) = delete;
    TPngRead& operator=(const TPngRead&) = delete;
};

QImage Fail(std::string* problem, std::string reason)
{
    if (problem)
        *problem = std::move(reason);
    return {};
}

}  // namespace

QImage DecodePng(std::span<const std::uint8_t> bytes, std::string* problem)
{
    TPngRead read;
    if (!png_image_begin_read_from_memory(&read.Image, bytes.data(), bytes.size()))
        return Fail(problem, std::string("the bits are not a readable PNG image: ") + read.Image.message);
    const std::int64_t width = read.Image.width;
    const std::int64_t height = read.Image.height;
    if (width > kMaxDibSide || height > kMaxDibSide || width * height > kMaxDibPixels)
        return Fail(problem, "the embedded image of " + std::to_string(width) + "x" + std::to_string(height) +
                                 " pixels is too large");
    // ARGB32 pixels are 0xAARRGGBB words: B, G, R, A in memory on little-endian machines.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    read.Image.format = PNG_FORMAT_BGRA;
#else
    read.Image.format = PNG_FORMAT_ARGB;
#endif
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (image.isNull())
        return Fail(problem, "no memory for a " + std::to_string(width) + "x" + std::to_string(height) + " image");
    // The stride counts components, one byte each at 8 bits.
    if (!png_image_finish_read(&read.Image, nullptr, image.bits(), static_cast<png_int_32>(image.bytesPerLine()),
                               nullptr))
        return Fail(problem, std::string("the PNG image cannot be decoded: ") + read.Image.message);
    return image;
}

}  // namespace qrp::emf
