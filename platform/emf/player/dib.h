#pragma once
// Device-independent bitmaps as the bitmap records carry them: a BITMAPINFO
// (header and colour table) and the pixel bits, decoded to a QImage. The
// bytes come from untrusted files: every size is checked before it is used
// and nothing is read outside the two byte ranges.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include <QImage>

namespace qrp::emf {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_JPEG = 4;
constexpr std::uint32_t BI_PNG = 5;

// Bitmaps larger than this are refused before anything is allocated.
constexpr std::int32_t kMaxDibSide = 65535;
constexpr std::int64_t kMaxDibPixels = std::int64_t {64} << 20;

enum class TDibColorUsage { RgbColors = 0, PalIndices = 1 };  // DIB_RGB_COLORS, DIB_PAL_COLORS

// The header facts. Width and Height are within kMaxDibSide and their product
// within kMaxDibPixels.
struct TDibInfo {
    std::int32_t Width = 0, Height = 0;  // Height positive; TopDown tells the row order
    bool TopDown = false;
    std::uint16_t BitCount = 0;
    std::uint32_t Compression = 0;  // BI_RGB .. BI_PNG
    // Entries of the colour table the pixels index: for 1, 4 and 8 bits per
    // pixel biClrUsed, or 2^BitCount when it is 0 or larger; 0 for deeper
    // pixels, whose optional table only serves palette devices.
    std::uint32_t ColorCount = 0;
    std::uint32_t HeaderSize = 0;        // 12 for BITMAPCOREHEADER, 40 or more otherwise
    std::size_t ColorTableOffset = 0;    // from the first byte of the BITMAPINFO
    // Channel masks of 16 and 32 bit pixels: from BI_BITFIELDS, or the
    // defaults of BI_RGB (5-5-5, and 8-8-8 with alpha in the top byte).
    std::uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0, AlphaMask = 0;
};

// Parses a BITMAPCOREHEADER (12 bytes), BITMAPINFOHEADER (40), BITMAPV4HEADER
// (108) or BITMAPV5HEADER (124); other sizes of at least 40 are read as a
// BITMAPINFOHEADER. With BI_BITFIELDS the masks follow a header shorter than
// 52 bytes and lie inside longer ones. None when the header is truncated, its
// sizes are out of range, or the depth does not fit the compression; `problem`
// (if given) then receives the reason.
std::optional<TDibInfo> ParseDibInfo(std::span<const std::uint8_t> info, std::string* problem = nullptr);

struct TDibDecodeOptions {
    TDibColorUsage Usage = TDibColorUsage::RgbColors;
    // The selected logical palette, which DIB_PAL_COLORS tables index with
    // 16-bit entries; empty means DefaultPalette(). Indices past its end are black.
    std::span<const QRgb> Palette;
    // 32-bit pixels (and 16-bit ones with an alpha mask) keep their alpha, as
    // EMR_ALPHABLEND with AC_SRC_ALPHA needs; otherwise every pixel is opaque.
    bool KeepAlpha = false;
};

// The 20 static colours of the default logical palette (DEFAULT_PALETTE).
std::span<const QRgb> DefaultPalette();

// Decodes to a top-down QImage of Format_ARGB32 (not premultiplied). The
// colour bytes are stored as the bitmap holds them, so a caller whose source
// is premultiplied (EMR_ALPHABLEND) can reinterpretAsFormat(Format_ARGB32_Premultiplied).
//
// - Colour table entries the table does not hold (biClrUsed smaller than an
//   index, or the BITMAPINFO ending early) are black; a 1-bit bitmap keeps its
//   two table colours.
// - Uncompressed bits must hold every row; the last row may lack its padding
//   to 4 bytes. Shorter bits give a null image.
// - RLE pixels the codes never reach (delta, early end of line or bitmap,
//   data that ends early) are transparent, so drawing leaves them untouched.
//   Runs are clipped at the row's end; decoding stops at the end of the data
//   or below the last row.
// - BI_JPEG and BI_PNG bits are decoded by Qt's image readers for that format
//   only; the image has the payload's own size.
//
// Returns a null QImage when the data cannot be decoded; `problem` (if given)
// then receives a short reason.
QImage DecodeDib(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits,
                 const TDibDecodeOptions& options = {}, std::string* problem = nullptr);

}  // namespace qrp::emf
