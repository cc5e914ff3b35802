// Rendering speed: the bundled sample report's pages and the corpus's real
// recordings, played into images at 96 and 300 dots per inch.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"
#include "report/qr_page_list.h"

namespace qrp::bench {
namespace {

std::vector<TMetafile> SamplePages()
{
    std::vector<TMetafile> pages;
    TQRPageList list;
    list.AttachFile(QRP_SOURCE_DIR "/examples/sample.qrp");
    for (std::int32_t n = 1; n <= list.PageTotal(); ++n)
        pages.push_back(*list.GetPage(n));
    return pages;
}

std::vector<TMetafile> CorpusPages()
{
    std::vector<TMetafile> pages;
    for (const char* folder : {"/../shared/corpus/gdi-pages", "/../shared/corpus/emf-train"}) {
        const std::filesystem::path root = std::string(QRP_SOURCE_DIR) + folder;
        std::error_code error;
        if (!std::filesystem::is_directory(root, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(root)) {
            if (entry.path().extension() != ".emf" || entry.path().filename().string().rfind("bad_", 0) == 0)
                continue;
            pages.emplace_back();
            pages.back().LoadFromFile(entry.path().string());
        }
    }
    return pages;
}

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
    static const auto pages = SamplePages();
    RenderPages(state, pages);
}

void RenderCorpusPage(benchmark::State& state)
{
    static const auto pages = CorpusPages();
    RenderPages(state, pages);
}

BENCHMARK(RenderSamplePage)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(RenderCorpusPage)->Arg(96)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
