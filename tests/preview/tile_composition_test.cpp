// Tiles drawn one by one compose to the page drawn as one area, at zooms and
// pixel ratios whose tile borders cut text, hairlines and shapes. While the
// page fits a device of its own size every area is drawn in the page's own
// device coordinates; what Qt's rasteriser still steps from the clip's edge
// (aliased slanted lines, the edge of a fill at 800 %) moves a few pixels or a
// short run of an edge by one pixel. Larger pages are drawn moved by the
// tile's offset, and glyphs crossing a border may also differ in edge pixels.

#include <gtest/gtest.h>

#include <iostream>

#include <QPainter>

#include "platform/canvas/metafile_canvas.h"

#include "preview/framed_page.h"
#include "preview/tile_grid.h"
#include "tests/preview/tile_test_pages.h"

namespace qrp {
namespace {

struct TDifference {
    int Pixels = 0;
    int MostLevels = 0;
};

TDifference Compare(const QImage& a, const QImage& b)
{
    TDifference difference;
    for (int y = 0; y < a.height(); ++y) {
        const auto* left = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* right = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (left[x] == right[x])
                continue;
            ++difference.Pixels;
            for (int shift : {0, 8, 16, 24})
                difference.MostLevels = std::max(
                    difference.MostLevels, std::abs(static_cast<int>((left[x] >> shift) & 0xFF) - static_cast<int>((right[x] >> shift) & 0xFF)));
        }
    }
    return difference;
}

// The page image's size for a zoom, as the preview control lays a page out:
// the page's pixels zoomed and rounded, plus frame and shadow.
QSize ImageSize(const TMetafile& page, int zoom)
{
    return QSize(qRound(page.Width() * zoom / 100.0) + 4, qRound(page.Height() * zoom / 100.0) + 4);
}

// area drawn at once against the same area put together from its tiles.
TDifference TilesAgainstWhole(const TMetafile& page, QSize size, qreal ratio, const QRect& area)
{
    const TPageLayout layout {1, size, ratio};
    const QImage whole = RenderFramedPageArea(page, size, ratio, area);
    QImage composed(area.size(), QImage::Format_ARGB32_Premultiplied);
    composed.fill(Qt::transparent);
    QPainter painter(&composed);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const TTileKey& tile : TilesCovering(layout, area)) {
        const QRect tileArea = TileArea(tile);
        QImage pixels = RenderFramedPageArea(page, size, ratio, tileArea);
        pixels.setDevicePixelRatio(1);
        painter.drawImage(tileArea.topLeft() - area.topLeft(), pixels);
    }
    painter.end();
    return Compare(whole, composed);
}

struct TCase {
    int Zoom;
    qreal Ratio;
    bool PageDevice = true;  // the page's device pixels fit a device of the page's size
};

TEST(TileComposition, TilesMeetWithoutSeamsOnPagesThatCrossTheirBorders)
{
    TDifference Worst;
    std::vector<TMetafile> pages = test::SampleReportPages();
    ASSERT_FALSE(pages.empty());
    pages.push_back(test::TileBorderPage());
    for (const TMetafile& page : pages) {
        for (const TCase& at : {TCase {100, 1}, TCase {37, 1}, TCase {163, 1}, TCase {100, 2}, TCase {100, 1.5},
                                TCase {77, 1.25}, TCase {800, 1}, TCase {2000, 2, false}}) {
            const QSize size = ImageSize(page, at.Zoom);
            const QRect device = DeviceBounds({1, size, at.Ratio});
            // The top left with the frame and the bottom right with the shadow, a few tiles each,
            // and an area inside the page starting off the tile grid.
            for (const QRect& area : {QRect(0, 0, 900, 700), QRect(device.width() - 700, device.height() - 600, 700, 600),
                                      QRect(device.width() / 3 + 37, device.height() / 3 + 11, 600, 530)}) {
                const QRect inside = area.intersected(device);
                const TDifference difference = TilesAgainstWhole(page, size, at.Ratio, inside);
                // A seam (a clip, a line or text lost or moved at a border) differs in whole rows or columns of
                // pixels; pixels moved by one differ in under one pixel in a thousand, glyph edges of larger pages in
                // under one in a hundred.
                const int share = at.PageDevice ? 1000 : 100;
                EXPECT_LE(difference.Pixels * share, inside.width() * inside.height())
                    << "zoom " << at.Zoom << " ratio " << at.Ratio << ", area at " << inside.x() << ", " << inside.y()
                    << ": " << difference.Pixels << " pixels, up to " << difference.MostLevels << " levels";
                Worst.Pixels = std::max(Worst.Pixels, difference.Pixels);
                Worst.MostLevels = std::max(Worst.MostLevels, difference.MostLevels);
            }
        }
    }
    std::cout << "tiles against whole areas: at most " << Worst.Pixels << " pixels differ, by up to "
              << Worst.MostLevels << " levels\n";
}

TEST(TileComposition, AnEmptyPageComposesExactly)
{
    // Frame, shadow and white page only: no glyphs, so tiles and whole agree in every pixel.
    TMetafileCanvas canvas(794, 1123);
    const TMetafile page = canvas.Finish();
    for (const TCase& at : {TCase {100, 1}, TCase {37, 1}, TCase {163, 1.5}, TCase {100, 2}, TCase {77, 1.25}}) {
        const QSize size = ImageSize(page, at.Zoom);
        const TDifference difference = TilesAgainstWhole(page, size, at.Ratio, DeviceBounds({1, size, at.Ratio}));
        EXPECT_EQ(difference.Pixels, 0) << "zoom " << at.Zoom << " ratio " << at.Ratio;
    }
}

TEST(TileComposition, TheFrameAndShadowAreDrawnInWholeDevicePixels)
{
    TMetafileCanvas canvas(794, 1123);
    canvas.Brush.Color = 0x0000FF;
    canvas.FillRect({0, 0, 794, 1123});
    const TMetafile page = canvas.Finish();
    const QSize size(100, 50);
    const QImage doubled = RenderFramedPageArea(page, size, 2, QRect(0, 0, 200, 100));
    const QImage tile = RenderFramedPageArea(page, size, 2, QRect(190, 90, 10, 10));
    EXPECT_EQ(doubled.copy(190, 90, 10, 10), tile) << "an area far from the origin is that part of the page";
    // Frame on logical column 97 (device 194–195), shadow from logical column 98 (device 196–199).
    for (int x : {194, 195, 196, 199})
        EXPECT_EQ(doubled.pixelColor(x, 50), QColor(Qt::black)) << x;
    EXPECT_EQ(doubled.pixelColor(193, 50), QColor(Qt::red)) << "the page's fill inside the frame";
    EXPECT_EQ(doubled.pixelColor(197, 1), QColor(Qt::red)) << "the corner beside the shadow is the page's";
}

}  // namespace
}  // namespace qrp
