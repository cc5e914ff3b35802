// A page drawn in strips is the page drawn whole, row for row, and PNG
// pictures written strip by strip decode to those pixels.

#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <thread>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "export/page_strips.h"
#include "export/png_export_filter.h"
#include "export/png_writer.h"
#include "platform/emf/emf_records.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"
#include "platform/exceptions.h"
#include "platform/memory_stream.h"
#include "report/qr_export_filter.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using emf::TEmfWriter;

// An A4 page at 96 dpi whose text, dashed and wide lines, hatched fills, clip
// and bitmap lie across many rows. Large text (filled as outlines) comes before
// small text of the same fonts (drawn from Qt's glyph images at positions
// between pixels), so that drawing the page again meets the fonts as the
// first drawing left them.
TMetafile StripBorderPage()
{
    TEmfWriter writer(794, 1123);
    const std::u16string text = u"Strips cut \u017D\u00E1\u010D text Wg";
    for (int i = 13; i >= 0; --i) {
        emf::TLogFont font;
        font.Height = -(7 + i * i);
        font.Weight = i % 3 == 0 ? 700 : 400;
        font.Italic = i % 4 == 1;
        font.Underline = i % 5 == 2;
        font.FaceName = i % 2 == 0 ? u"Arial" : u"Times New Roman";
        const std::uint32_t handle = writer.CreateFont(font);
        writer.SelectObject(handle);
        // Advances of odd widths place glyphs between pixels at other resolutions.
        std::vector<std::int32_t> dx(text.size(), 5 + i * 3 / 2);
        const std::int32_t y = 20 + i * (i + 60);
        writer.ExtTextOut(13 + i, y, 0, {0, 0, 0, 0}, text, dx, {0, y - 200, 794, y + 200});
        writer.DeleteObject(handle);
    }
    emf::TLogFont large;
    large.Height = -70;
    const std::uint32_t largeHandle = writer.CreateFont(large);
    writer.SelectObject(largeHandle);
    writer.TextOut(690, 301, u"Wg\u00C1");
    writer.DeleteObject(largeHandle);
    emf::TLogFont small;
    small.Height = -11;
    const std::uint32_t smallHandle = writer.CreateFont(small);
    writer.SelectObject(smallHandle);
    const std::vector<std::int32_t> narrow(text.size(), 7);
    writer.ExtTextOut(31, 1090, 0, {0, 0, 0, 0}, text, narrow, {0, 1000, 794, 1123});

    // Wide lines of one segment with flat and square ends at many angles: Qt
    // draws those by a route of its own.
    for (int i = 0; i < 40; ++i) {
        const std::uint32_t end = i % 2 == 0 ? emf::PS_ENDCAP_FLAT : emf::PS_ENDCAP_SQUARE;
        const std::uint32_t pen =
            writer.CreatePen(emf::PS_SOLID | end, 2 + i % 8, 0x404040u * static_cast<std::uint32_t>(i % 4));
        writer.SelectObject(pen);
        writer.MoveTo(7 + i * 19, 3 + (i * 37) % 400);
        writer.LineTo(780 - i * 13, 1120 - (i * 53) % 500);
        writer.DeleteObject(pen);
    }
    for (std::uint32_t style : {emf::PS_DASH, emf::PS_DOT, emf::PS_DASHDOT}) {
        const std::uint32_t pen = writer.CreatePen(style, 1, 0x0000FF);
        writer.SelectObject(pen);
        writer.MoveTo(40 + static_cast<std::int32_t>(style) * 30, 5);
        writer.LineTo(90 + static_cast<std::int32_t>(style) * 30, 1110);
        writer.MoveTo(5, 100 + static_cast<std::int32_t>(style) * 40);
        writer.LineTo(780, 900 - static_cast<std::int32_t>(style) * 40);
        writer.DeleteObject(pen);
    }
    const std::uint32_t wide = writer.CreatePen(emf::PS_SOLID, 7, 0x008000);
    writer.SelectObject(wide);
    writer.MoveTo(600, 10);
    writer.LineTo(620, 1000);
    writer.MoveTo(20, 650);
    writer.LineTo(760, 700);
    const std::uint32_t hatch = writer.CreateBrush(emf::BS_HATCHED, 0xFF0000, emf::HS_DIAGCROSS);
    writer.SelectObject(hatch);
    writer.Ellipse({300, 150, 520, 610});
    writer.SelectClipRect({100, 333, 420, 777});
    writer.Rectangle({50, 300, 450, 800});
    writer.ResetClip();
    std::vector<std::uint8_t> bits(16 * 3);
    for (std::size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<std::uint8_t>(i * 37);
    emf::TDibPixels dib;
    dib.Width = 5;
    dib.Height = 3;
    dib.Bits = bits;
    writer.StretchDIBits({450, 820, 733, 1017}, dib);
    return TMetafile(writer.Finish());
}

// The page put together from its strips.
QImage FromStrips(const TMetafile& page, double dpi, std::size_t stripBytes)
{
    TPageStrips strips(page, dpi, stripBytes);
    QImage whole(strips.PageSize(), QImage::Format_RGB32);
    for (int i = 0; i < strips.StripCount(); ++i) {
        const QImage& strip = strips.Draw(i);
        for (int y = 0; y < strip.height(); ++y)
            std::memcpy(whole.scanLine(i * strips.StripRows() + y), strip.constScanLine(y),
                        static_cast<std::size_t>(strip.bytesPerLine()));
    }
    whole.setDotsPerMeterX(strips.Draw(0).dotsPerMeterX());
    whole.setDotsPerMeterY(strips.Draw(0).dotsPerMeterY());
    return whole;
}

// Rows whose pixels differ, for the failure message.
std::string DifferingRows(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "sizes differ";
    std::string rows;
    for (int y = 0; y < a.height() && rows.size() < 200; ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), static_cast<std::size_t>(a.width()) * 4) != 0)
            rows += std::to_string(y) + " ";
    return rows;
}

std::size_t BytesForRows(const TMetafile& page, double dpi, int rows)
{
    return std::size_t {4} * static_cast<std::size_t>(StripPageSize(page, dpi).width()) * static_cast<std::size_t>(rows);
}

TEST(PageStrips, StripsAreTheRowsOfThePageDrawnWhole)
{
    const TMetafile page = StripBorderPage();
    for (const double dpi : {96.0, 150.0, 300.0}) {
        const QImage whole = emf::RenderPageImage(page, dpi);
        ASSERT_FALSE(whole.isNull());
        for (const int rows : {1, 37, 64, 500}) {
            if (rows == 1 && dpi > 96)
                continue;  // a strip a row costs a playback a row
            const TPageStrips strips(page, dpi, BytesForRows(page, dpi, rows));
            ASSERT_EQ(strips.PageSize(), whole.size());
            ASSERT_EQ(strips.StripRows(), rows);
            const QImage joined = FromStrips(page, dpi, BytesForRows(page, dpi, rows));
            EXPECT_TRUE(joined == whole) << dpi << " dpi, strips of " << rows << " rows; rows differing: "
                                         << DifferingRows(joined, whole);
        }
    }
}

TEST(PageStrips, APageDrawsAlikeWhateverWasDrawnBefore)
{
    // Qt keeps fonts per thread: a fresh thread starts from nothing, the other
    // one has drawn the page (and so its fonts) before, at this and other sizes.
    const TMetafile page = StripBorderPage();
    for (const double dpi : {150.0, 300.0}) {
        QImage fresh;
        std::thread([&] { fresh = emf::RenderPageImage(page, dpi); }).join();
        QImage again;
        QImage strips;
        std::thread([&] {
            for (const double before : {96.0, dpi, 333.0})
                emf::RenderPageImage(page, before);
            again = emf::RenderPageImage(page, dpi);
            strips = FromStrips(page, dpi, BytesForRows(page, dpi, 77));
        }).join();
        EXPECT_TRUE(fresh == again) << dpi << " dpi; rows differing: " << DifferingRows(fresh, again);
        EXPECT_TRUE(fresh == strips) << dpi << " dpi; rows differing: " << DifferingRows(fresh, strips);
    }
}

TEST(PageStrips, StripHeightsAndSizeLimits)
{
    const TMetafile a4 = StripBorderPage();
    for (const double dpi : {1.0, 72.0, 300.0})
        EXPECT_EQ(StripPageSize(a4, dpi), emf::FramePixelSize(a4, dpi)) << dpi;
    EXPECT_GT(StripPageSize(a4, 4800).height(), 32768) << "beyond a whole image, within strips";
    const TPageStrips strips(a4, 300, BytesForRows(a4, 300, 1000) + 5);
    EXPECT_EQ(strips.StripRows(), 1000);
    EXPECT_EQ(strips.StripCount(), (strips.PageSize().height() + 999) / 1000);
    EXPECT_EQ(TPageStrips(a4, 300, 1).StripRows(), 1) << "at least a row";
    // Wider than the raster engine reaches (2^22), or more than 2^36 pixels.
    const TMetafile wide(TEmfWriter(1 << 20, 10).Finish());
    EXPECT_FALSE(StripPageSize(wide, 96).isEmpty());
    EXPECT_TRUE(StripPageSize(wide, 96 * 5).isEmpty());
    const TMetafile big(TEmfWriter(1 << 20, 1 << 17).Finish());
    EXPECT_TRUE(TPageStrips(big, 96).PageSize().isEmpty());
    TMemoryStream out;
    EXPECT_THROW(WritePngPage(big, 7, 96, out), EQRExportError);
    EXPECT_TRUE(out.Bytes().empty());
}

QImage DecodePng(const std::vector<std::uint8_t>& bytes)
{
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "png");
    reader.setAllocationLimit(1024);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

TEST(PngStrips, APictureWrittenStripByStripDecodesToThePage)
{
    const TMetafile page = StripBorderPage();
    for (const TPngSettings settings : {TPngSettings {}, TPngSettings {9, 0xF8}, TPngSettings {0, 0x08}}) {
        TMemoryStream out;
        WritePngPage(page, 1, 150, out, {}, settings, BytesForRows(page, 150, 100));
        const QImage decoded = DecodePng(out.Bytes());
        const QImage whole = emf::RenderPageImage(page, 150);
        ASSERT_EQ(decoded.size(), whole.size()) << settings.CompressionLevel;
        EXPECT_TRUE(decoded == whole) << "rows differing: " << DifferingRows(decoded, whole);
        EXPECT_EQ(decoded.dotsPerMeterX(), 5906);
    }
}

// Column x of an RGB PNG of any height, read row by row with libpng; empty
// when libpng cannot read it. What changes after setjmp lives on the heap.
std::vector<QRgb> PngColumn(const std::vector<std::uint8_t>& bytes, int x)
{
    struct TReading {
        const std::vector<std::uint8_t>* Bytes = nullptr;
        std::size_t At = 0;
        std::vector<QRgb> Column;
        std::vector<png_byte> Row;
    };
    const auto reading = std::make_unique<TReading>();
    reading->Bytes = &bytes;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_read_fn(png, reading.get(), [](png_structp p, png_bytep data, std::size_t length) {
        auto* r = static_cast<TReading*>(png_get_io_ptr(p));
        if (r->At + length > r->Bytes->size())
            png_error(p, "cut short");
        std::memcpy(data, r->Bytes->data() + r->At, length);
        r->At += length;
    });
    png_read_info(png, info);
    if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8)
        png_error(png, "not 8-bit RGB");
    reading->Row.resize(png_get_rowbytes(png, info));
    const png_uint_32 height = png_get_image_height(png, info);
    reading->Column.reserve(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, reading->Row.data(), nullptr);
        const png_byte* p = reading->Row.data() + 3 * x;
        reading->Column.push_back(qRgb(p[0], p[1], p[2]));
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return std::move(reading->Column);
}

TEST(PngStrips, APageTallerThanTheRasterEngineReachesKeepsItsDrawingInPlace)
{
    // 3 × 2.5 million rows, more than the raster engine reaches: strips are
    // drawn moved up by multiples of 8 rows. Bars of 100 rows at the top, past
    // 2^21 rows and at the bottom, read back from the PNG row by row.
    constexpr int kHeight = 2'500'000;
    TEmfWriter writer(3, kHeight);
    writer.SelectObject(writer.CreateSolidBrush(0x000000));
    writer.SelectObject(writer.CreatePen(emf::PS_NULL, 0, 0));
    for (const int top : {0, (1 << 21) + 1000, kHeight - 100})
        writer.Rectangle({0, top, 4, top + 101});
    const TMetafile page(writer.Finish());
    TMemoryStream out;
    WritePngPage(page, 1, 96, out);
    const std::vector<QRgb> column = PngColumn(out.Bytes(), 1);
    ASSERT_EQ(column.size(), static_cast<std::size_t>(kHeight));
    for (const int top : {0, (1 << 21) + 1000, kHeight - 100}) {
        EXPECT_EQ(column[static_cast<std::size_t>(top)], 0xFF000000u) << top;
        EXPECT_EQ(column[static_cast<std::size_t>(top + 99)], 0xFF000000u) << top;
        if (top > 0) {
            EXPECT_EQ(column[static_cast<std::size_t>(top - 1)], 0xFFFFFFFFu) << top;
        }
    }
    EXPECT_EQ(std::count(column.begin(), column.end(), 0xFF000000u), 300);
}

TEST(PngStrips, StripsOfAPageLargerThanAnImageMayBeHoldTheirOwnRows)
{
    // 20000 × 200000 pixels, more than Qt's raster engine counts in an int:
    // strips are drawn onto a device of at most 2^28 pixels, moved up by
    // multiples of 8 rows. Bars of 10 rows at the top, in the middle and at the bottom.
    constexpr int kWidth = 20000;
    constexpr int kHeight = 200000;
    TEmfWriter writer(kWidth, kHeight);
    writer.SelectObject(writer.CreateSolidBrush(0x0000FF));
    writer.SelectObject(writer.CreatePen(emf::PS_NULL, 0, 0));
    const std::vector<int> bars = {0, 123457, kHeight - 10};
    for (const int top : bars)
        writer.Rectangle({kWidth - 300, top, kWidth + 1, top + 11});
    const TMetafile page(writer.Finish());
    TPageStrips strips(page, 96);
    ASSERT_EQ(strips.PageSize(), QSize(kWidth, kHeight));
    for (const int top : bars) {
        for (const int row : {top - 1, top, top + 9, top + 10}) {
            if (row < 0 || row >= kHeight)
                continue;
            const QImage& strip = strips.Draw(row / strips.StripRows());
            const QRgb pixel = strip.pixel(kWidth - 100, row % strips.StripRows());
            EXPECT_EQ(pixel, row >= top && row < top + 10 ? 0xFFFF0000u : 0xFFFFFFFFu) << "row " << row;
        }
    }
}

// A stream that takes so many bytes and then fails.
class TFullStream : public TMemoryStream {
public:
    std::size_t Write(const void* buffer, std::size_t count) override
    {
        const std::size_t taken = std::min(count, Room);
        Room -= taken;
        return TMemoryStream::Write(buffer, taken);
    }
    std::size_t Room = 100;
};

TEST(PngStrips, TheWriterTakesWholeRowsAndPassesStreamErrorsOn)
{
    QImage rows(2000, 4, QImage::Format_RGB32);
    for (int y = 0; y < rows.height(); ++y)
        for (int x = 0; x < rows.width(); ++x)
            rows.setPixel(x, y, (static_cast<QRgb>(x) * 2654435761u) ^ (static_cast<QRgb>(y) * 40503u));
    TMemoryStream out;
    TPngWriter png(out, QSize(2000, 6), 96);
    png.WriteRows(rows, 4);
    EXPECT_THROW(png.Finish(), EQRExportError) << "two rows are missing";
    EXPECT_THROW(png.WriteRows(rows, 3), EQRExportError) << "one row too many";
    EXPECT_THROW(png.WriteRows(QImage(11, 4, QImage::Format_RGB32), 2), EQRExportError) << "another width";
    png.WriteRows(rows, 2);
    png.Finish();
    EXPECT_EQ(DecodePng(out.Bytes()).pixel(1999, 5), rows.pixel(1999, 1));
    // The stream's own error comes out of the writer, through libpng.
    TFullStream full;
    EXPECT_THROW(
        {
            TPngWriter failing(full, QSize(2000, 4), 96);
            failing.WriteRows(rows, 4);
            failing.Finish();
        },
        EWriteError);
    // The same from a strip packed on a thread of its own while the next is drawn.
    const TMetafile page = StripBorderPage();
    TMemoryStream whole;
    WritePngPage(page, 1, 200, whole, {}, {}, BytesForRows(page, 200, 100));
    full.Room = whole.Bytes().size() / 2;
    EXPECT_THROW(WritePngPage(page, 1, 200, full, {}, {}, BytesForRows(page, 200, 100)), EWriteError);
}

}  // namespace
}  // namespace qrp
