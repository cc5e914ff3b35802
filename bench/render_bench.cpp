// Rendering speed: the bundled sample report's pages and the corpus's real
// recordings, played into images at 96 and 300 dots per inch.

#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"

namespace qrp::bench {
namespace {

// One iteration renders every page once, so each page weighs the same.
void RenderPages(benchmark::State& state, const std::vector<TMetafile>& pages)
{
    if (pages.empty()) {
        state.SkipWithError("no pages (the shared corpus is absent)");
        return;
    }
    const double dpi = static_cast<double>(state.range(0));
    for (auto _ : state) {
        for (const TMetafile& page : pages) {
            const QImage image = emf::RenderPageImage(page, dpi);
            benchmark::DoNotOptimize(image.constBits());
        }
    }
    const double rendered = static_cast<double>(state.iterations()) * static_cast<double>(pages.size());
    state.counters["pages_per_second"] = benchmark::Counter(rendered, benchmark::Counter::kIsRate);
}

void RenderSamplePage(benchmark::State& state)
{
    static const auto pages = SampleReportPages();
    RenderPages(state, pages);
}

void RenderCorpusPage(benchmark::State& state)
{
    static const auto pages = CorpusRecordings();
    RenderPages(state, pages);
}

BENCHMARK(RenderSamplePage)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(RenderCorpusPage)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
