#include "platform/emf/player/dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <utility>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "platform/byte_order.h"
#include "platform/emf/player/png_decode.h"

namespace qrp::emf {

namespace {
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderSize = 52;       // BITMAPV2INFOHEADER and later hold the RGB masks at 40
constexpr std::uint32_t kAlphaMaskInHeaderSize = 56;   // BITMAPV3INFOHEADER and later hold the alpha mask at 52
constexpr std::size_t kMasksSize = 12;
constexpr QRgb kOpaqueBlack = 0xFF000000;

constexpr std::array<QRgb, 20> kDefaultPalette = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080,
    0xFFC0C0C0, 0xFFC0DCC0, 0xFFA6CAF0, 0xFFFFFBF0, 0xFFA0A0A4, 0xFF808080, 0xFFFF0000,
    0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// Indices of 1, 4 and 8 bit pixels reach at most 256 entries; the ones the
// bitmap's table does not hold stay black.
using TColorTable = std::array<QRgb, 256>;

// Sets the reason and returns the empty result: nullopt or a null image.
template <typename TResult>
TResult Fail(std::string* problem, std::string reason)
{
    if (problem)
        *problem = std::move(reason);
    return TResult {};
}

bool DepthFitsCompression(std::uint16_t bitCount, std::uint32_t compression)
{
    switch (compression) {
    case BI_RGB:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    case BI_RLE8:
        return bitCount == 8;
    case BI_RLE4:
        return bitCount == 4;
    case BI_BITFIELDS:
        return bitCount == 16 || bitCount == 32;
    case BI_JPEG:
    case BI_PNG:
        return true;
    default:
        return false;
    }
}

bool IsContiguous(std::uint32_t mask)
{
    const std::uint64_t bits = mask >> (mask == 0 ? 0 : std::countr_zero(mask));
    return (bits & (bits + 1)) == 0;
}

// One colour channel of a 16 or 32 bit pixel, scaled to 8 bits: narrower
// channels through a table (31 -> 255), wider ones keep their top 8 bits.
class TChannel {
public:
    explicit TChannel(std::uint32_t mask)
        : Mask(mask), Shift(mask == 0 ? 0 : static_cast<unsigned>(std::countr_zero(mask))),
          Width(static_cast<unsigned>(std::popcount(mask)))
    {
        if (Width == 0 || Width > 8)
            return;
        const unsigned max = (1u << Width) - 1;
        for (unsigned v = 0; v <= max; ++v)
            Scale[v] = static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }

    bool Present() const { return Width > 0; }

    int operator()(std::uint32_t pixel) const
    {
        const std::uint32_t value = (pixel & Mask) >> Shift;
        if (Width > 8)
            return static_cast<int>(value >> (Width - 8));
        return Scale[value];
    }

private:
    std::uint32_t Mask;
    unsigned Shift;
    unsigned Width;
    std::array<std::uint8_t, 256> Scale {};
};

TColorTable ReadColorTable(const TDibInfo& dib, std::span<const std::uint8_t> info, const TDibDecodeOptions& options)
{
    TColorTable colors;
    colors.fill(kOpaqueBlack);
    const bool indices = options.Usage == TDibColorUsage::PalIndices;
    const std::size_t entrySize = indices ? 2 : dib.HeaderSize == kCoreHeaderSize ? 3 : 4;
    const std::size_t offset = std::min(dib.ColorTableOffset, info.size());
    const std::size_t count = std::min<std::size_t>(dib.ColorCount, (info.size() - offset) / entrySize);
    const std::span<const QRgb> palette = options.Palette.empty() ? DefaultPalette() : options.Palette;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = info.data() + offset + i * entrySize;
        if (indices) {
            const std::size_t index = LoadUInt16(entry);
            colors[i] = index < palette.size() ? palette[index] | kOpaqueBlack : kOpaqueBlack;
        } else {
            colors[i] = qRgb(entry[2], entry[1], entry[0]);  // RGBQUAD and RGBTRIPLE are blue, green, red
        }
    }
    return colors;
}

// A transparent image. Its pixels come from calloc: zero is transparent in
// Format_ARGB32, and a large block arrives zeroed from the system without
// being written, so a run-length bitmap whose codes reach few of its pixels
// costs what its codes reach, not its declared size.
QImage NewImage(const TDibInfo& dib, std::string* problem)
{
    const auto bytesPerLine = static_cast<std::size_t>(dib.Width) * sizeof(QRgb);
    void* pixels = std::calloc(static_cast<std::size_t>(dib.Height), bytesPerLine);
    if (!pixels)
        return Fail<QImage>(problem, "no memory for a " + std::to_string(dib.Width) + "x" + std::to_string(dib.Height) + " image");
    return QImage(static_cast<uchar*>(pixels), dib.Width, dib.Height, static_cast<qsizetype>(bytesPerLine),
                  QImage::Format_ARGB32, [](void* memory) { std::free(memory); }, pixels);
}

QRgb* Row(QImage& image, std::int64_t row) { return reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(row))); }

void DecodeIndexedRow(const std::uint8_t* source, QRgb* target, std::size_t width, unsigned bitCount,
                      const TColorTable& colors)
{
    const std::size_t perByte = 8 / bitCount;
    const unsigned mask = (1u << bitCount) - 1;
    for (std::size_t x = 0; x < width; ++x) {
        // The leftmost pixel is in the byte's high bits.
        const auto shift = static_cast<unsigned>(8 - bitCount * (x % perByte + 1));
        target[x] = colors[(unsigned {source[x / perByte]} >> shift) & mask];
    }
}

void DecodeRgbRow(const std::uint8_t* source, QRgb* target, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x, source += 3)
        target[x] = qRgb(source[2], source[1], source[0]);
}

struct TMaskedPixels {
    TChannel Red, Green, Blue, Alpha;
    bool KeepAlpha;
};

void DecodeMaskedRow(const std::uint8_t* source, QRgb* target, std::size_t width, unsigned bytesPerPixel,
                     const TMaskedPixels& pixels)
{
    const bool alpha = pixels.KeepAlpha && pixels.Alpha.Present();
    for (std::size_t x = 0; x < width; ++x, source += bytesPerPixel) {
        const std::uint32_t pixel = bytesPerPixel == 2 ? LoadUInt16(source) : LoadUInt32(source);
        target[x] = qRgba(pixels.Red(pixel), pixels.Green(pixel), pixels.Blue(pixel), alpha ? pixels.Alpha(pixel) : 255);
    }
}

// The alpha channel of 16 and 32 bit pixels. Bit-field masks of a header
// that has no room for an alpha mask leave the byte the colour masks do not
// use, which a blend with per-pixel alpha reads as alpha.
std::uint32_t AlphaMaskOf(const TDibInfo& dib, bool keepAlpha)
{
    if (dib.AlphaMask != 0 || !keepAlpha || dib.BitCount != 32)
        return dib.AlphaMask;
    const std::uint32_t rest = ~(dib.RedMask | dib.GreenMask | dib.BlueMask);
    for (const std::uint32_t byte : {0xFF000000u, 0x000000FFu, 0x0000FF00u, 0x00FF0000u})
        if ((rest & byte) == byte)
            return byte;
    return 0;
}

QImage DecodeUncompressed(const TDibInfo& dib, std::span<const std::uint8_t> bits, const TColorTable& colors,
                          bool keepAlpha, std::string* problem)
{
    const auto width = static_cast<std::size_t>(dib.Width);
    const auto height = static_cast<std::size_t>(dib.Height);
    const std::uint64_t rowBits = std::uint64_t {width} * dib.BitCount;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t needed = stride * (height - 1) + (rowBits + 7) / 8;
    if (bits.size() < needed)
        return Fail<QImage>(problem, "the bits hold " + std::to_string(bits.size()) + " bytes, the rows need " +
                                         std::to_string(needed));
    QImage image = NewImage(dib, problem);
    if (image.isNull())
        return image;
    const TMaskedPixels masked {TChannel(dib.RedMask), TChannel(dib.GreenMask), TChannel(dib.BlueMask),
                                TChannel(AlphaMaskOf(dib, keepAlpha)), keepAlpha};
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* source = bits.data() + row * stride;
        QRgb* target = Row(image, static_cast<std::int64_t>(dib.TopDown ? row : height - 1 - row));
        switch (dib.BitCount) {
        case 1:
        case 4:
        case 8:
            DecodeIndexedRow(source, target, width, dib.BitCount, colors);
            break;
        case 24:
            DecodeRgbRow(source, target, width);
            break;
        default:
            DecodeMaskedRow(source, target, width, dib.BitCount / 8u, masked);
            break;
        }
    }
    return image;
}

// Plays BI_RLE8 and BI_RLE4 codes. Each step consumes at least two bytes and
// plots at most 255 pixels, so the work is bounded by the data.
QImage DecodeRunLengths(const TDibInfo& dib, std::span<const std::uint8_t> bits, const TColorTable& colors,
                        std::string* problem)
{
    QImage image = NewImage(dib, problem);
    if (image.isNull())
        return image;
    const bool nibbles = dib.Compression == BI_RLE4;
    const std::int64_t width = dib.Width, height = dib.Height;
    // y counts rows in stored order: from the bottom unless top-down. The
    // loop keeps y below the height and every run stops at the row's end.
    std::int64_t x = 0, y = 0;
    const auto plot = [&](unsigned index) { Row(image, dib.TopDown ? y : height - 1 - y)[x++] = colors[index]; };
    // The n-th pixel of a run or an absolute block: RLE4 alternates the high
    // and the low nibble.
    const auto pixel = [&](unsigned byte, std::size_t n) { return nibbles ? (n % 2 == 0 ? byte >> 4 : byte & 0x0Fu) : byte; };
    std::size_t pos = 0;
    while (y < height && bits.size() - pos >= 2) {
        const unsigned count = bits[pos], code = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            for (std::size_t n = 0; n < count && x < width; ++n)
                plot(pixel(code, n));
        } else if (code == 0) {  // end of line
            x = 0;
            ++y;
        } else if (code == 1) {  // end of bitmap
            break;
        } else if (code == 2) {  // delta: move right and down
            if (bits.size() - pos < 2)
                break;
            x = std::min(x + bits[pos], width);
            y += bits[pos + 1];
            pos += 2;
        } else {  // absolute block of `code` pixels, padded to a 16-bit boundary
            const std::size_t byteCount = nibbles ? (code + 1) / 2 : code;
            const std::size_t present = std::min(byteCount, bits.size() - pos);
            for (std::size_t n = 0; n < code && x < width; ++n) {
                const std::size_t byteIndex = nibbles ? n / 2 : n;
                if (byteIndex >= present)
                    break;
                plot(pixel(bits[pos + byteIndex], n));
            }
            pos += std::min(byteCount + byteCount % 2, bits.size() - pos);
        }
    }
    return image;
}

QImage DecodeEmbedded(std::span<const std::uint8_t> bits, const char* format, std::string* problem)
{
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bits.data()), static_cast<qsizetype>(bits.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);  // only the format the header names
    const QSize size = reader.size();
    if (!size.isValid())
        return Fail<QImage>(problem, std::string("the bits are not a readable ") + format + " image");
    if (size.width() > kMaxDibSide || size.height() > kMaxDibSide ||
        std::int64_t {size.width()} * size.height() > kMaxDibPixels)
        return Fail<QImage>(problem, "the embedded image of " + std::to_string(size.width()) + "x" +
                                         std::to_string(size.height()) + " pixels is too large");
    const QImage image = reader.read();
    if (image.isNull())
        return Fail<QImage>(problem, std::string("the ") + format + " image cannot be decoded: " +
                                         reader.errorString().toStdString());
    return image.convertToFormat(QImage::Format_ARGB32);
}
}  // namespace

std::span<const QRgb> DefaultPalette() { return kDefaultPalette; }

std::optional<TDibInfo> ParseDibInfo(std::span<const std::uint8_t> info, std::string* problem)
{
    using TResult = std::optional<TDibInfo>;
    if (info.size() < 4)
        return Fail<TResult>(problem, "the bitmap header is missing");
    const std::uint8_t* p = info.data();
    TDibInfo dib;
    dib.HeaderSize = LoadUInt32(p);
    if (dib.HeaderSize != kCoreHeaderSize && dib.HeaderSize < kInfoHeaderSize)
        return Fail<TResult>(problem, "unknown bitmap header size " + std::to_string(dib.HeaderSize));
    if (dib.HeaderSize > info.size())
        return Fail<TResult>(problem, "the bitmap header of " + std::to_string(dib.HeaderSize) + " bytes is cut to " +
                                          std::to_string(info.size()));
    const bool core = dib.HeaderSize == kCoreHeaderSize;
    std::int64_t width = core ? LoadUInt16(p + 4) : LoadInt32(p + 4);
    std::int64_t height = core ? LoadUInt16(p + 6) : LoadInt32(p + 8);
    dib.BitCount = core ? LoadUInt16(p + 10) : LoadUInt16(p + 14);
    dib.Compression = core ? BI_RGB : LoadUInt32(p + 16);
    dib.TopDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide || width * height > kMaxDibPixels)
        return Fail<TResult>(problem, "the bitmap size " + std::to_string(width) + "x" + std::to_string(height) +
                                          " is out of range");
    dib.Width = static_cast<std::int32_t>(width);
    dib.Height = static_cast<std::int32_t>(height);
    if (!DepthFitsCompression(dib.BitCount, dib.Compression))
        return Fail<TResult>(problem, std::to_string(dib.BitCount) + " bits per pixel with compression " +
                                          std::to_string(dib.Compression) + " cannot be decoded");

    dib.ColorTableOffset = dib.HeaderSize;
    const bool compressedImage = dib.Compression == BI_JPEG || dib.Compression == BI_PNG;
    if (dib.BitCount <= 8 && !compressedImage) {
        const std::uint32_t full = 1u << dib.BitCount;
        const std::uint32_t used = core ? 0 : LoadUInt32(p + 32);
        dib.ColorCount = used == 0 || used > full ? full : used;
    }
    if (dib.Compression == BI_BITFIELDS) {
        const std::uint8_t* masks = p + dib.HeaderSize;
        if (dib.HeaderSize >= kMasksInHeaderSize) {
            masks = p + kInfoHeaderSize;
        } else if (info.size() - dib.HeaderSize < kMasksSize) {
            return Fail<TResult>(problem, "the colour masks after the bitmap header are missing");
        } else {
            dib.ColorTableOffset += kMasksSize;
        }
        dib.RedMask = LoadUInt32(masks);
        dib.GreenMask = LoadUInt32(masks + 4);
        dib.BlueMask = LoadUInt32(masks + 8);
        dib.AlphaMask = dib.HeaderSize >= kAlphaMaskInHeaderSize ? LoadUInt32(p + kMasksInHeaderSize) : 0;
        for (const std::uint32_t mask : {dib.RedMask, dib.GreenMask, dib.BlueMask, dib.AlphaMask})
            if (!IsContiguous(mask))
                return Fail<TResult>(problem, "a colour mask is not one run of bits");
    } else if (dib.BitCount == 16) {
        dib.RedMask = 0x7C00;
        dib.GreenMask = 0x03E0;
        dib.BlueMask = 0x001F;
    } else if (dib.BitCount == 32) {
        dib.RedMask = 0x00FF0000;
        dib.GreenMask = 0x0000FF00;
        dib.BlueMask = 0x000000FF;
        dib.AlphaMask = 0xFF000000;
    }
    return dib;
}

QImage DecodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits,
                 const TDibDecodeOptions& options, std::string* problem)
{
    const auto dib = ParseDibInfo(info, problem);
    if (!dib)
        return {};
    switch (dib->Compression) {
    case BI_JPEG:
        return DecodeEmbedded(bits, "jpeg", problem);
    case BI_PNG:
        return DecodePng(bits, problem);
    case BI_RLE8:
    case BI_RLE4:
        return DecodeRunLengths(*dib, bits, ReadColorTable(*dib, info, options), problem);
    default:
        return DecodeUncompressed(*dib, bits, ReadColorTable(*dib, info, options), options.KeepAlpha, problem);
    }
}

}  // namespace qrp::emf
