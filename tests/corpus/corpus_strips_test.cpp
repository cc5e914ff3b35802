// Real-world recordings drawn in strips come out pixel for pixel as drawn
// whole: clips, bitmaps, text and transforms across the strip borders.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <QImage>

#include "export/page_strips.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

class CorpusStrips : public test::CorpusTest {
protected:
    bool IsReportPage(const std::filesystem::path& file) const
    {
        return file.parent_path().filename() == "gdi-pages";
    }
};

// The first row where strips of rows rows differ from image, or -1.
int FirstDifferingRow(const TMetafile& page, double dpi, int rows, const QImage& image)
{
    TPageStrips strips(page, dpi, std::size_t {4} * static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(rows));
    if (strips.PageSize() != image.size() || strips.StripRows() != std::min(rows, image.height()))
        return 0;
    for (int i = 0; i < strips.StripCount(); ++i) {
        const QImage& strip = strips.Draw(i);
        for (int y = 0; y < strip.height(); ++y) {
            const int row = i * strips.StripRows() + y;
            if (std::memcmp(strip.constScanLine(y), image.constScanLine(row), static_cast<std::size_t>(image.width()) * 4))
                return row;
        }
    }
    return -1;
}

TEST_F(CorpusStrips, StripsAreTheRowsOfThePageDrawnWhole)
{
    // Report pages at screen and print resolutions in strips of odd heights;
    // the other recordings at their frame size, in strips of 41 rows.
    int compared = 0;
    for (const auto& file : Files) {
        TMetafile page;
        page.LoadFromFile(file.string());
        const bool report = IsReportPage(file);
        for (const double dpi : report ? std::vector<double> {96, 300} : std::vector<double> {96}) {
            const QImage whole = emf::RenderPageImage(page, dpi);
            if (whole.isNull())
                continue;
            for (const int rows : report ? std::vector<int> {53, 211} : std::vector<int> {41}) {
                EXPECT_EQ(FirstDifferingRow(page, dpi, rows, whole), -1)
                    << file.filename() << " at " << dpi << " dpi in strips of " << rows << " rows";
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 100);
}

TEST_F(CorpusStrips, AStripIsDrawnOnlyInItsRows)
{
    constexpr QRgb kUntouched = 0xFF345678;
    for (const auto& file : Files) {
        TMetafile page;
        page.LoadFromFile(file.string());
        const QImage whole = emf::RenderPageImage(page, 96);
        if (whole.isNull() || whole.height() < 3)
            continue;
        const int top = whole.height() / 3;
        const int rows = std::max(1, whole.height() / 5);
        QImage device(whole.size(), QImage::Format_RGB32);
        device.fill(kUntouched);
        for (int y = top; y < top + rows; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(device.scanLine(y)), device.width(), 0xFFFFFFFF);
        device.setDotsPerMeterX(whole.dotsPerMeterX());
        device.setDotsPerMeterY(whole.dotsPerMeterY());
        DrawPageRows(page, whole.size(), device, 0, top, rows);
        int outside = 0;
        for (int y = 0; y < device.height(); ++y) {
            if (y >= top && y < top + rows)
                continue;
            const auto* line = reinterpret_cast<const QRgb*>(device.constScanLine(y));
            outside += static_cast<int>(device.width() - std::count(line, line + device.width(), kUntouched));
        }
        EXPECT_EQ(outside, 0) << file.filename() << ": pixels drawn outside rows " << top << "-" << top + rows - 1;
    }
}

TEST_F(CorpusStrips, ReportPagesDrawAlikeAfterOtherDrawing)
{
    // Text pages at 300 dpi have glyphs on both sides of the size Qt stops
    // caching glyph images at; a page must not depend on what the thread drew before.
    for (const auto& file : Files) {
        if (!IsReportPage(file))
            continue;
        TMetafile page;
        page.LoadFromFile(file.string());
        QImage fresh;
        std::thread([&] { fresh = emf::RenderPageImage(page, 300); }).join();
        QImage again;
        std::thread([&] {
            emf::RenderPageImage(page, 300);
            again = emf::RenderPageImage(page, 300);
        }).join();
        EXPECT_TRUE(fresh == again) << file.filename();
    }
}

}  // namespace
}  // namespace qrp
