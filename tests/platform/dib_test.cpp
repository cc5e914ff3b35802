#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QBuffer>
#include <QImageWriter>

#include "platform/byte_order.h"
#include "platform/emf/player/dib.h"

namespace qrp::emf {
namespace {

using TBytes = std::vector<std::uint8_t>;

constexpr QRgb kClear = 0;
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

void Put16(TBytes& bytes, unsigned value)
{
    bytes.resize(bytes.size() + 2);
    StoreUInt16(bytes.data() + bytes.size() - 2, static_cast<std::uint16_t>(value));
}

void Put32(TBytes& bytes, std::uint32_t value)
{
    bytes.resize(bytes.size() + 4);
    StoreUInt32(bytes.data() + bytes.size() - 4, value);
}

// A BITMAPINFOHEADER, or a longer header of headerSize bytes with zeros after it.
TBytes InfoHeader(std::int32_t width, std::int32_t height, unsigned bitCount, std::uint32_t compression = BI_RGB,
                  std::uint32_t colorsUsed = 0, std::uint32_t headerSize = 40)
{
    TBytes bytes;
    Put32(bytes, headerSize);
    Put32(bytes, static_cast<std::uint32_t>(width));
    Put32(bytes, static_cast<std::uint32_t>(height));
    Put16(bytes, 1);
    Put16(bytes, bitCount);
    Put32(bytes, compression);
    for (int field = 0; field < 3; ++field)  // biSizeImage, biXPelsPerMeter, biYPelsPerMeter
        Put32(bytes, 0);
    Put32(bytes, colorsUsed);
    Put32(bytes, 0);
    bytes.resize(headerSize);
    return bytes;
}

TBytes CoreHeader(unsigned width, unsigned height, unsigned bitCount)
{
    TBytes bytes;
    Put32(bytes, 12);
    Put16(bytes, width);
    Put16(bytes, height);
    Put16(bytes, 1);
    Put16(bytes, bitCount);
    return bytes;
}

TBytes WithColors(TBytes info, std::initializer_list<QRgb> colors)
{
    for (const QRgb color : colors)
        info.insert(info.end(), {static_cast<std::uint8_t>(qBlue(color)), static_cast<std::uint8_t>(qGreen(color)),
                                 static_cast<std::uint8_t>(qRed(color)), 0});
    return info;
}

// Colour i of a 16-entry table: distinct and easy to tell from black and clear.
QRgb Shade(int i) { return qRgb(i * 16, 255 - i * 16, 100); }

TBytes WithShades(TBytes info)
{
    for (int i = 0; i < 16; ++i)
        info = WithColors(std::move(info), {Shade(i)});
    return info;
}

// The pixels row by row from the top.
std::vector<QRgb> Pixels(const QImage& image)
{
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

QImage Decode(const TBytes& info, const TBytes& bits, const TDibDecodeOptions& options = {})
{
    std::string problem;
    QImage image = DecodeDib(info, bits, options, &problem);
    EXPECT_EQ(image.isNull(), !problem.empty()) << problem;
    EXPECT_TRUE(image.isNull() || image.format() == QImage::Format_ARGB32);
    return image;
}

TEST(DibInfo, ReadsEachHeaderKind)
{
    const auto core = ParseDibInfo(CoreHeader(3, 2, 8));
    ASSERT_TRUE(core);
    EXPECT_EQ(core->Width, 3);
    EXPECT_EQ(core->Height, 2);
    EXPECT_FALSE(core->TopDown);
    EXPECT_EQ(core->ColorCount, 256u);
    EXPECT_EQ(core->ColorTableOffset, 12u);

    const auto topDown = ParseDibInfo(InfoHeader(4, -5, 4, BI_RGB, 3));
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->Height, 5);
    EXPECT_TRUE(topDown->TopDown);
    EXPECT_EQ(topDown->ColorCount, 3u);
    EXPECT_EQ(ParseDibInfo(InfoHeader(4, 5, 4, BI_RGB, 0xFFFFFFFF))->ColorCount, 16u) << "capped at 2^bitcount";
    EXPECT_EQ(ParseDibInfo(InfoHeader(4, 5, 24, BI_RGB, 5))->ColorCount, 0u);

    TBytes masksAfter = InfoHeader(2, 2, 16, BI_BITFIELDS);
    for (const std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        Put32(masksAfter, mask);
    const auto bitfields = ParseDibInfo(masksAfter);
    ASSERT_TRUE(bitfields);
    EXPECT_EQ(bitfields->GreenMask, 0x07E0u);
    EXPECT_EQ(bitfields->ColorTableOffset, 52u);

    TBytes v5 = InfoHeader(2, 2, 32, BI_BITFIELDS, 0, 124);
    StoreUInt32(v5.data() + 40, 0x0000FF00);
    StoreUInt32(v5.data() + 44, 0x00FF0000);
    StoreUInt32(v5.data() + 48, 0xFF000000);
    StoreUInt32(v5.data() + 52, 0x000000FF);
    const auto inHeader = ParseDibInfo(v5);
    ASSERT_TRUE(inHeader);
    EXPECT_EQ(inHeader->RedMask, 0x0000FF00u);
    EXPECT_EQ(inHeader->AlphaMask, 0x000000FFu);
    EXPECT_EQ(inHeader->ColorTableOffset, 124u);

    EXPECT_TRUE(ParseDibInfo(InfoHeader(8192, 8192, 32))) << "exactly 64 Mi pixels";
    EXPECT_TRUE(ParseDibInfo(InfoHeader(65535, 1024, 1)));
}

TEST(DibInfo, MalformedHeadersAreRefused)
{
    TBytes masksMissing = InfoHeader(2, 2, 16, BI_BITFIELDS);
    Put32(masksMissing, 0xF800);
    Put32(masksMissing, 0x07E0);
    TBytes splitMask = InfoHeader(2, 2, 16, BI_BITFIELDS);
    for (const std::uint32_t mask : {0x0F0Fu, 0x00F0u, 0xF000u})
        Put32(splitMask, mask);
    TBytes cut = InfoHeader(2, 2, 8);
    cut.pop_back();
    TBytes overlong = InfoHeader(2, 2, 8);
    StoreUInt32(overlong.data(), 0xFFFFFFF0);
    const std::vector<std::pair<const char*, TBytes>> cases = {
        {"empty", {}},
        {"three bytes", {40, 0, 0}},
        {"header size between core and info", InfoHeader(2, 2, 8, BI_RGB, 0, 20)},
        {"header cut short", cut},
        {"header size past the data", overlong},
        {"zero width", InfoHeader(0, 2, 8)},
        {"zero height", InfoHeader(2, 0, 8)},
        {"negative width", InfoHeader(-3, 2, 8)},
        {"zero core width", CoreHeader(0, 2, 8)},
        {"width over 65535", InfoHeader(65536, 1, 8)},
        {"height under -65535", InfoHeader(1, -65536, 8)},
        {"most negative height", InfoHeader(1, INT32_MIN, 8)},
        {"65535 x 65535", InfoHeader(65535, 65535, 32)},
        {"just over 64 Mi pixels", InfoHeader(8193, 8193, 1)},
        {"7 bits per pixel", InfoHeader(2, 2, 7)},
        {"RLE8 at 4 bits", InfoHeader(2, 2, 4, BI_RLE8)},
        {"RLE4 at 8 bits", InfoHeader(2, 2, 8, BI_RLE4)},
        {"bitfields at 24 bits", InfoHeader(2, 2, 24, BI_BITFIELDS)},
        {"unknown compression", InfoHeader(2, 2, 8, 99)},
        {"masks missing after the header", masksMissing},
        {"mask in two runs", splitMask},
    };
    const TBytes plentyOfBits(4096, 0x11);
    for (const auto& [name, info] : cases) {
        std::string problem;
        EXPECT_FALSE(ParseDibInfo(info, &problem)) << name;
        EXPECT_FALSE(problem.empty()) << name;
        EXPECT_TRUE(Decode(info, plentyOfBits).isNull()) << name;
    }
}

TEST(DibIndexed, PixelsTakeTheirTableColours)
{
    // 1 bit, 10 wide: two data bytes and two of padding per row, the bottom row first.
    const TBytes mono = WithColors(InfoHeader(10, 2, 1), {kRed, kBlue});
    const TBytes monoBits = {0xA0, 0xC0, 0, 0, 0xFF, 0x40, 0xFF, 0xFF};
    EXPECT_EQ(Pixels(Decode(mono, monoBits)), (std::vector<QRgb> {
                                                  kBlue, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue, kRed, kBlue,
                                                  kBlue, kRed, kBlue, kRed, kRed, kRed, kRed, kRed, kBlue, kBlue,
                                              }));

    // 4 bits with biClrUsed 0: the full table of 16.
    const QImage nibbles = Decode(WithShades(InfoHeader(3, 1, 4)), {0x1F, 0x70, 0, 0});
    EXPECT_EQ(Pixels(nibbles), (std::vector<QRgb> {Shade(1), Shade(15), Shade(7)}));

    // 8 bits with three colours in use: higher indices are black.
    const TBytes bytes = WithColors(InfoHeader(5, 1, 8, BI_RGB, 3), {kRed, kGreen, kBlue});
    EXPECT_EQ(Pixels(Decode(bytes, {2, 0, 3, 255, 1, 0, 0, 0})),
              (std::vector<QRgb> {kBlue, kRed, kBlack, kBlack, kGreen}));
}

TEST(DibIndexed, TablesShorterThanDeclaredReadNoFurther)
{
    const TBytes pixels = {0, 1, 2, 200};
    // biClrUsed 0 means 256 entries; biClrUsed far beyond; the table holds two and a half.
    for (const std::uint32_t used : {0u, 0x7FFFFFFFu}) {
        TBytes info = WithColors(InfoHeader(4, 1, 8, BI_RGB, used), {kRed, kGreen});
        info.insert(info.end(), {0xFF, 0xFF});
        EXPECT_EQ(Pixels(Decode(info, pixels)), (std::vector<QRgb> {kRed, kGreen, kBlack, kBlack})) << used;
    }
    // A core header's table is RGBTRIPLEs.
    TBytes core = CoreHeader(4, 1, 8);
    core.insert(core.end(), {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF});
    EXPECT_EQ(Pixels(Decode(core, pixels)), (std::vector<QRgb> {kBlue, kGreen, kRed, kBlack}));
}

TEST(DibIndexed, PaletteIndicesSelectFromTheLogicalPalette)
{
    TBytes info = InfoHeader(4, 1, 4, BI_RGB, 3);
    for (const unsigned index : {2u, 0u, 7u})
        Put16(info, index);
    const std::vector<QRgb> palette = {kRed, kGreen, kBlue};
    TDibDecodeOptions options;
    options.Usage = TDibColorUsage::PalIndices;
    options.Palette = palette;
    const TBytes bits = {0x01, 0x23, 0, 0};
    EXPECT_EQ(Pixels(Decode(info, bits, options)), (std::vector<QRgb> {kBlue, kRed, kBlack, kBlack}))
        << "index 7 lies past the palette, entry 3 past the table";

    // No palette selected: the default palette.
    TBytes defaults = InfoHeader(3, 1, 8, BI_RGB, 3);
    for (const unsigned index : {13u, 19u, 4u})
        Put16(defaults, index);
    options.Palette = {};
    EXPECT_EQ(Pixels(Decode(defaults, {0, 1, 2, 0}, options)), (std::vector<QRgb> {kRed, kWhite, qRgb(0, 0, 0x80)}));
}

TEST(DibDirect, SixteenBitsFiveFiveFiveAndBitfields)
{
    const TBytes five = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42, 0x00, 0x80, 0, 0};
    EXPECT_EQ(Pixels(Decode(InfoHeader(5, 1, 16), five)),
              (std::vector<QRgb> {kRed, kGreen, kBlue, qRgb(132, 132, 132), kBlack}))
        << "the top bit is unused";

    TBytes rgb565 = InfoHeader(4, 1, 16, BI_BITFIELDS);
    for (const std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        Put32(rgb565, mask);
    EXPECT_EQ(Pixels(Decode(rgb565, {0x00, 0xF8, 0xE0, 0x07, 0x00, 0x04, 0x1F, 0x00})),
              (std::vector<QRgb> {kRed, kGreen, qRgb(0, 130, 0), kBlue}));

    // 4-4-4-4 in a V5 header: the alpha mask counts only when asked for.
    TBytes argb4444 = InfoHeader(1, 1, 16, BI_BITFIELDS, 0, 124);
    for (const auto& [offset, mask] : {std::pair {40, 0x0F00u}, {44, 0x00F0u}, {48, 0x000Fu}, {52, 0xF000u}})
        StoreUInt32(argb4444.data() + offset, mask);
    const TBytes pixel = {0x0F, 0x8F, 0, 0};
    EXPECT_EQ(Pixels(Decode(argb4444, pixel)), (std::vector<QRgb> {qRgb(255, 0, 255)}));
    TDibDecodeOptions keep;
    keep.KeepAlpha = true;
    EXPECT_EQ(Pixels(Decode(argb4444, pixel, keep)), (std::vector<QRgb> {qRgba(255, 0, 255, 0x88)}));
}

TEST(DibDirect, TwentyFourBitRowsArePaddedToFourBytes)
{
    const TBytes info = InfoHeader(3, 2, 24);
    TBytes bits = {0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 9, 9, 9, 0x10, 0x20, 0x30, 0, 0, 0, 0xFF, 0xFF, 0xFF, 9, 9, 9};
    const std::vector<QRgb> expected = {qRgb(0x30, 0x20, 0x10), kBlack, kWhite, kRed, kGreen, kBlue};
    EXPECT_EQ(Pixels(Decode(info, bits)), expected);
    bits.resize(bits.size() - 3);
    EXPECT_EQ(Pixels(Decode(info, bits)), expected) << "the last row without its padding";
    bits.pop_back();
    EXPECT_TRUE(Decode(info, bits).isNull()) << "one pixel byte short";
}

TEST(DibDirect, ThirtyTwoBitsKeepAlphaOnlyWhenAsked)
{
    const TBytes info = InfoHeader(2, 1, 32);
    const TBytes bits = {0x10, 0x20, 0x30, 0x40, 0xFF, 0, 0, 0};
    EXPECT_EQ(Pixels(Decode(info, bits)), (std::vector<QRgb> {qRgb(0x30, 0x20, 0x10), kBlue}));
    TDibDecodeOptions keep;
    keep.KeepAlpha = true;
    const QImage kept = Decode(info, bits, keep);
    EXPECT_EQ(Pixels(kept), (std::vector<QRgb> {qRgba(0x30, 0x20, 0x10, 0x40), qRgba(0, 0, 0xFF, 0)}));

    // 10-10-10 masks keep each channel's top 8 bits; no alpha mask means opaque.
    TBytes wide = InfoHeader(1, 1, 32, BI_BITFIELDS);
    for (const std::uint32_t mask : {0x3FF00000u, 0x000FFC00u, 0x000003FFu})
        Put32(wide, mask);
    TBytes pixel;
    Put32(pixel, (1023u << 20) | (512u << 10) | 3u);
    EXPECT_EQ(Pixels(Decode(wide, pixel, keep)), (std::vector<QRgb> {qRgb(255, 128, 0)}));

    // Byte masks in another order after a plain header: the byte they leave is alpha when asked for.
    TBytes reversed = InfoHeader(1, 1, 32, BI_BITFIELDS);
    for (const std::uint32_t mask : {0x000000FFu, 0x0000FF00u, 0x00FF0000u})
        Put32(reversed, mask);
    const TBytes red = {0xFF, 0, 0, 0x80};
    EXPECT_EQ(Pixels(Decode(reversed, red)), (std::vector<QRgb> {kRed}));
    EXPECT_EQ(Pixels(Decode(reversed, red, keep)), (std::vector<QRgb> {qRgba(255, 0, 0, 0x80)}));
}

TEST(DibRows, TopDownAndBottomUpGiveTheSameImage)
{
    const TBytes table = WithShades({});
    auto withTable = [&](TBytes header) {
        header.insert(header.end(), table.begin(), table.end());
        return header;
    };
    const TBytes bottomUp = {1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0};
    const TBytes topDown = {5, 6, 0, 0, 3, 4, 0, 0, 1, 2, 0, 0};
    const std::vector<QRgb> expected = {Shade(5), Shade(6), Shade(3), Shade(4), Shade(1), Shade(2)};
    EXPECT_EQ(Pixels(Decode(withTable(InfoHeader(2, 3, 8)), bottomUp)), expected);
    EXPECT_EQ(Pixels(Decode(withTable(InfoHeader(2, -3, 8)), topDown)), expected);
    // Run-length codes follow the same row order.
    EXPECT_EQ(Pixels(Decode(withTable(InfoHeader(2, 3, 8, BI_RLE8)), {2, 1, 0, 0, 2, 3, 0, 0, 2, 5, 0, 1})),
              (std::vector<QRgb> {Shade(5), Shade(5), Shade(3), Shade(3), Shade(1), Shade(1)}));
    EXPECT_EQ(Pixels(Decode(withTable(InfoHeader(2, -3, 8, BI_RLE8)), {2, 5, 0, 0, 2, 3, 0, 0, 2, 1, 0, 1})),
              (std::vector<QRgb> {Shade(5), Shade(5), Shade(3), Shade(3), Shade(1), Shade(1)}));
}

TEST(DibRunLength, Rle8PlaysEveryCode)
{
    const TBytes info = WithShades(InfoHeader(6, 4, 8, BI_RLE8));
    const TBytes codes = {
        3, 1, 0, 3, 2, 3, 2, 0,  // row 0: a run, then an absolute block of three padded to four bytes
        0, 0,                    // end of line
        0, 2, 2, 1,              // delta: skip row 1, on to x 2 of row 2
        2, 3, 0, 0,              // row 2: a run, end of line
        0, 4, 1, 2, 3, 1,        // row 3: an absolute block needing no padding
        0, 1,                    // end of bitmap
        6, 1,                    // after the end: ignored
    };
    const QRgb s1 = Shade(1), s2 = Shade(2), s3 = Shade(3);
    EXPECT_EQ(Pixels(Decode(info, codes)), (std::vector<QRgb> {
                                               s1, s2, s3, s1, kClear, kClear,          //
                                               kClear, kClear, s3, s3, kClear, kClear,  //
                                               kClear, kClear, kClear, kClear, kClear, kClear,  //
                                               s1, s1, s1, s2, s3, s2,                  //
                                           }));
}

TEST(DibRunLength, Rle4PlaysEveryCode)
{
    const TBytes info = WithShades(InfoHeader(5, 3, 4, BI_RLE4));
    const TBytes codes = {
        5, 0x12, 0, 0,                    // row 0: a run alternating two colours, end of line
        0, 5, 0x34, 0x56, 0x70, 0, 0, 0,  // row 1: five nibbles in three bytes padded to four, end of line
        1, 0x20, 0, 2, 2, 0, 2, 0x89,     // row 2: one pixel, delta two along, a run of two
        0, 1,
    };
    EXPECT_EQ(Pixels(Decode(info, codes)), (std::vector<QRgb> {
                                               Shade(2), kClear, kClear, Shade(8), Shade(9),    //
                                               Shade(3), Shade(4), Shade(5), Shade(6), Shade(7),  //
                                               Shade(1), Shade(2), Shade(1), Shade(2), Shade(1),  //
                                           }));
}

TEST(DibRunLength, CodesRunningPastTheImageOrTheDataStayInside)
{
    const TBytes rle8 = WithShades(InfoHeader(3, 2, 8, BI_RLE8));
    const QRgb s1 = Shade(1), s2 = Shade(2);
    // Runs and blocks longer than the row are clipped, not wrapped; a delta
    // below the last row ends the picture.
    EXPECT_EQ(Pixels(Decode(rle8, {10, 1, 0, 5, 2, 2, 2, 2, 2, 0, 0, 0, 0, 2, 0, 10, 3, 2})),
              (std::vector<QRgb> {kClear, kClear, kClear, s1, s1, s1}));
    EXPECT_EQ(Pixels(Decode(rle8, {2, 2, 0, 2, 255, 0, 1, 1, 0, 0, 200, 2})),
              (std::vector<QRgb> {s2, s2, s2, s2, s2, kClear}))
        << "a delta far to the right stays on its row";
    // Data that ends inside a block, a delta or a code pair keeps what came before.
    EXPECT_EQ(Pixels(Decode(rle8, {0, 6, 1, 2})), (std::vector<QRgb> {kClear, kClear, kClear, s1, s2, kClear}));
    EXPECT_EQ(Pixels(Decode(rle8, {1, 1, 0, 2, 1})), (std::vector<QRgb> {kClear, kClear, kClear, s1, kClear, kClear}));
    EXPECT_EQ(Pixels(Decode(rle8, {1, 2, 0})), (std::vector<QRgb> {kClear, kClear, kClear, s2, kClear, kClear}));
    EXPECT_EQ(Pixels(Decode(rle8, {})), std::vector<QRgb>(6, kClear));

    const TBytes rle4 = WithShades(InfoHeader(3, 1, 4, BI_RLE4));
    EXPECT_EQ(Pixels(Decode(rle4, {0, 9, 0x12})), (std::vector<QRgb> {s1, s2, kClear}));
    EXPECT_EQ(Pixels(Decode(rle4, {0, 255, 0x12, 0x12, 0x12})), (std::vector<QRgb> {s1, s2, s1}));
}

TEST(DibEmbedded, PngAndJpegPayloadsAreDecoded)
{
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(kGreen);
    source.setPixel(1, 0, qRgba(255, 0, 0, 128));
    QByteArray png;
    QBuffer pngBuffer(&png);
    ASSERT_TRUE(pngBuffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(source.save(&pngBuffer, "PNG"));
    const TBytes pngBits(png.begin(), png.end());
    const TBytes pngInfo = InfoHeader(3, 2, 0, BI_PNG);
    EXPECT_EQ(Pixels(Decode(pngInfo, pngBits)), Pixels(source));

    EXPECT_TRUE(Decode(pngInfo, TBytes(pngBits.begin(), pngBits.begin() + 20)).isNull()) << "cut inside the header";
    // Damage is told as the problem, never printed by the decoder: a damaged
    // end chunk after complete pixels is passed over, damaged pixel data fails.
    TBytes endDamaged = pngBits;
    endDamaged[endDamaged.size() - 8] = 0;  // the end chunk's type
    TBytes dataDamaged = pngBits;
    const auto data = std::search(dataDamaged.begin(), dataDamaged.end(), std::begin("IDAT"), std::end("IDAT") - 1);
    ASSERT_NE(data, dataDamaged.end());
    data[5] ^= 0x55;
    std::string problem;
    testing::internal::CaptureStderr();
    const QImage fromEndDamaged = DecodeDib(pngInfo, endDamaged);
    const QImage fromDataDamaged = DecodeDib(pngInfo, dataDamaged, {}, &problem);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Pixels(fromEndDamaged), Pixels(source));
    EXPECT_TRUE(fromDataDamaged.isNull());
    EXPECT_NE(problem.find("PNG"), std::string::npos) << problem;
    EXPECT_TRUE(Decode(InfoHeader(3, 2, 0, BI_JPEG), pngBits).isNull()) << "only the format the header names";
    TBytes garbage = {0xFF, 0xD8, 0xFF, 0xE0};
    garbage.resize(600, 0x5A);
    EXPECT_TRUE(Decode(InfoHeader(3, 2, 0, BI_JPEG), garbage).isNull());
    EXPECT_TRUE(Decode(InfoHeader(3, 2, 0, BI_JPEG), {}).isNull());

    if (!QImageWriter::supportedImageFormats().contains("jpeg"))
        GTEST_SKIP() << "no JPEG support in this Qt";
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    ASSERT_TRUE(jpegBuffer.open(QIODevice::WriteOnly));
    QImage photo(16, 8, QImage::Format_RGB32);
    photo.fill(qRgb(200, 40, 40));
    ASSERT_TRUE(photo.save(&jpegBuffer, "JPEG", 95));
    const QImage decoded = Decode(InfoHeader(16, 8, 0, BI_JPEG), TBytes(jpeg.begin(), jpeg.end()));
    ASSERT_EQ(decoded.size(), QSize(16, 8));
    EXPECT_NEAR(qRed(decoded.pixel(5, 5)), 200, 8);
    EXPECT_NEAR(qGreen(decoded.pixel(5, 5)), 40, 8);
}

TEST(DibDamaged, UncompressedBitsMustHoldEveryRow)
{
    const TBytes info = WithShades(InfoHeader(5, 3, 8));
    std::string problem;
    EXPECT_FALSE(DecodeDib(info, TBytes(21, 1)).isNull()) << "two padded rows and five bytes";
    EXPECT_TRUE(DecodeDib(info, TBytes(20, 1), {}, &problem).isNull());
    EXPECT_NE(problem.find("21"), std::string::npos) << problem;

    // A large header with a few bytes of bits is refused before any allocation.
    EXPECT_TRUE(Decode(InfoHeader(8192, 8192, 32), TBytes(64, 0)).isNull());
    EXPECT_TRUE(Decode(InfoHeader(8192, -8192, 1), {}).isNull());
}

}  // namespace
}  // namespace qrp::emf
