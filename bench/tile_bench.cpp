// The preview's background rendering: time until the tiles in view of the
// sample report's first page are drawn, and the tile cache's peak bytes while
// a view scrolls over a whole A4 page at 2000 %.

#include <benchmark/benchmark.h>

#include <memory>

#include "platform/emf/metafile.h"
#include "preview/page_tiles.h"
#include "report/qr_page_list.h"

namespace qrp::bench {
namespace {

using namespace std::chrono_literals;

std::shared_ptr<const TMetafile> SampleFirstPage()
{
    TQRPageList list;
    list.AttachFile(QRP_SOURCE_DIR "/examples/sample.qrp");
    return std::shared_ptr<const TMetafile>(list.GetPage(1));
}

// The page image as the preview control lays the page out at a zoom.
QSize LaidOut(const TMetafile& page, int zoom)
{
    return QSize(qRound(page.Width() * zoom / 100.0) + 4, qRound(page.Height() * zoom / 100.0) + 4);
}

// A 1000 × 700 view at the page's top left, drawn from nothing each time.
void FirstVisibleTiles(benchmark::State& state)
{
    const auto page = SampleFirstPage();
    TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
    tiles.SetLayout(LaidOut(*page, static_cast<int>(state.range(0))), 1);
    for (auto _ : state) {
        tiles.ShowPages(nullptr, nullptr, nullptr);
        tiles.ShowPages(std::make_shared<const TMetafile>(*page), nullptr, nullptr);
        tiles.Plan(QRect(0, 0, 1000, 700));
        if (!tiles.WaitForView(60s))
            state.SkipWithError("the view was not drawn");
    }
    state.counters["view_tiles"] = static_cast<double>(tiles.ViewTiles().size());
}
BENCHMARK(FirstVisibleTiles)->Arg(100)->Arg(800)->Unit(benchmark::kMillisecond)->UseRealTime();

void PeakTileBytesAt2000Percent(benchmark::State& state)
{
    const auto page = SampleFirstPage();
    std::size_t peak = 0;
    std::size_t drawn = 0;
    for (auto _ : state) {
        TPageTiles tiles(TPageTiles::kDefaultBudgetBytes, {});
        const QSize size = LaidOut(*page, 2000);
        tiles.SetLayout(size, 1);
        tiles.ShowPages(page, page, page);
        for (int top = 0; top < size.height(); top += 700)
            for (int left = 0; left < size.width(); left += 1000) {
                tiles.Plan(QRect(left, top, 1000, 700));
                tiles.WaitForPlan(60s);
            }
        peak = tiles.Cache().PeakBytes();
        drawn = tiles.Renderer().TilesDrawn();
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / (1024.0 * 1024.0);
    state.counters["budget_MB"] = static_cast<double>(TPageTiles::kDefaultBudgetBytes) / (1024.0 * 1024.0);
    state.counters["tiles_drawn"] = static_cast<double>(drawn);
}
BENCHMARK(PeakTileBytesAt2000Percent)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace qrp::bench
