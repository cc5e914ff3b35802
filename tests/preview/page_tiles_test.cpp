// Planning tiles for a page: memory within the budget at the highest zoom,
// neighbours drawn ahead, and work for a page no longer shown cancelled and
// dropped.

#include <gtest/gtest.h>

#include <memory>

#include "preview/page_tiles.h"
#include "tests/preview/tile_test_pages.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::shared_ptr<const TMetafile> Page(std::uint32_t fill)
{
    return std::make_shared<const TMetafile>(test::TileBorderPage(fill));
}

// The A4 page image at a zoom, as the preview control lays it out.
QSize A4At(int zoom) { return QSize(qRound(794 * zoom / 100.0) + 4, qRound(1123 * zoom / 100.0) + 4); }

TEST(PageTiles, MemoryStaysWithinTheBudgetWhileScrollingOverAWholePageAt2000Percent)
{
    TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
    tiles.ShowPages(Page(kRed), Page(kGreen), Page(kBlue));
    const QSize size = A4At(2000);
    tiles.SetLayout(size, 1);
    const QSize window(1200, 900);
    int views = 0;
    for (int top = 0; top < size.height(); top += 2 * window.height()) {
        for (int left = 0; left < size.width(); left += 2 * window.width()) {
            tiles.Plan(QRect(QPoint(left, top), window));
            ASSERT_TRUE(tiles.WaitForPlan(60s)) << left << ", " << top;
            ASSERT_LE(tiles.Cache().Bytes(), tiles.Cache().BudgetBytes());
            ++views;
        }
    }
    // A hidden image in view whole: the plan takes what the budget allows.
    tiles.Plan(QRect(QPoint(0, 0), size));
    tiles.WaitForPlan(60s);
    EXPECT_GT(views, 50);
    EXPECT_GT(tiles.Renderer().TilesDrawn() * kTileBytes, 2 * tiles.Cache().BudgetBytes()) << "tiles were let go";
    EXPECT_LE(tiles.Cache().PeakBytes(), tiles.Cache().BudgetBytes());
    EXPECT_GT(tiles.Cache().PeakBytes(), tiles.Cache().BudgetBytes() / 4);
}

bool ViewHeld(const TPageTiles& tiles)
{
    return std::all_of(tiles.ViewTiles().begin(), tiles.ViewTiles().end(),
                       [&](const TTileKey& tile) { return tiles.Cache().Holds(tile); });
}

TEST(PageTiles, ANeighbourDrawnAheadIsInViewWithoutANewRender)
{
    const auto first = Page(kRed), second = Page(kGreen), third = Page(kBlue);
    const QRect window(0, 0, 700, 400);
    for (int zoom : {100, 800}) {
        TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
        tiles.SetLayout(A4At(zoom), 1);
        tiles.ShowPages(second, first, third);
        tiles.Plan(window);
        ASSERT_TRUE(tiles.WaitForPlan(60s));

        // Turning the page: the recordings fetched again, equal to those held.
        tiles.ShowPages(std::make_shared<const TMetafile>(*third), std::make_shared<const TMetafile>(*second), nullptr);
        tiles.Plan(window);
        EXPECT_FALSE(tiles.ViewTiles().empty());
        EXPECT_TRUE(ViewHeld(tiles)) << "zoom " << zoom << ": the next page's top is there at once";
        const std::size_t drawn = tiles.Renderer().TilesDrawn();
        ASSERT_TRUE(tiles.WaitForPlan(60s));
        if (zoom == 100) {
            EXPECT_EQ(tiles.Renderer().TilesDrawn(), drawn) << "a page this small was drawn ahead whole";
        }

        // Back again: the page before is held too.
        tiles.ShowPages(second, nullptr, third);
        tiles.Plan(window);
        EXPECT_TRUE(ViewHeld(tiles)) << "zoom " << zoom;
    }
}

TEST(PageTiles, ANeighbourOfAnotherSizeIsNotDrawnAhead)
{
    TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
    tiles.SetLayout(A4At(100), 1);
    // Laid out at the shown page's size it would be squeezed; the control lays it out anew.
    tiles.ShowPages(Page(kGreen), nullptr, std::make_shared<const TMetafile>(test::MakePage(1, 1123, 794)));
    tiles.Plan(QRect(0, 0, 700, 400));
    ASSERT_TRUE(tiles.WaitForPlan(60s));
    const std::uint64_t shown = tiles.ViewTiles().front().Recording;
    for (const TTileKey& tile : tiles.Cache().Keys())
        ASSERT_EQ(tile.Recording, shown);
}

TEST(PageTiles, WorkForAPageNoLongerShownIsCancelledAndItsTilesDropped)
{
    TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
    const QSize size = A4At(2000);
    tiles.SetLayout(size, 1);
    tiles.ShowPages(Page(kRed), nullptr, nullptr);
    tiles.Plan(QRect(QPoint(0, 0), size));
    const std::size_t plannedForOld = tiles.ViewTiles().size();
    ASSERT_GT(plannedForOld, 200U);

    tiles.ShowPages(Page(kGreen), nullptr, nullptr);
    tiles.Plan(QRect(0, 0, 300, 300));
    ASSERT_TRUE(tiles.WaitForPlan(60s));
    ASSERT_TRUE(tiles.Renderer().WaitIdle(60s));
    tiles.TakeFinished();
    EXPECT_LT(tiles.Renderer().TilesDrawn(), plannedForOld) << "the old page's queued work never ran";
    const std::uint64_t shown = tiles.ViewTiles().front().Recording;
    for (const TTileKey& tile : tiles.Cache().Keys())
        ASSERT_EQ(tile.Recording, shown) << "a tile of the page let go";
}

}  // namespace
}  // namespace qrp
