// Text extraction speed against PDF export of the same pages in the same run:
// the bundled sample report's pages and the corpus's recordings, each page
// played onto the text device, and the same pages written through the PDF
// export filter.

#include <benchmark/benchmark.h>

#include <filesystem>

#include <QDir>

#include "bench/bench_data.h"
#include "export/pdf_export_filter.h"
#include "platform/emf/player/page_image.h"
#include "platform/emf/player/text_device.h"

namespace qrp::bench {
namespace {

void CountPages(benchmark::State& state, std::size_t pageCount)
{
    const double done = static_cast<double>(state.iterations()) * static_cast<double>(pageCount);
    state.counters["pages_per_second"] = benchmark::Counter(done, benchmark::Counter::kIsRate);
}

// One iteration extracts the words of every page once.
void ExtractPages(benchmark::State& state, const std::vector<TMetafile>& pages)
{
    if (pages.empty()) {
        state.SkipWithError("no pages (the shared corpus is absent)");
        return;
    }
    for (auto _ : state) {
        for (const TMetafile& page : pages) {
            const QSize size = emf::FramePixelSize(page, 96);
            const emf::TPageText text = emf::ExtractText(page.Bytes(), QRectF(QPointF(0, 0), QSizeF(size)));
            benchmark::DoNotOptimize(text.Lines.data());
        }
    }
    CountPages(state, pages.size());
}

// One iteration writes every page into one PDF document.
void ExportPdf(benchmark::State& state, const std::vector<TMetafile>& pages)
{
    if (pages.empty()) {
        state.SkipWithError("no pages (the shared corpus is absent)");
        return;
    }
    const std::string output = (QDir::tempPath() + "/qrp-text-bench.pdf").toStdString();
    for (auto _ : state) {
        TQRPdfExportFilter pdf(output);
        pdf.Start("bench", static_cast<std::int32_t>(pages.size()));
        for (std::size_t i = 0; i < pages.size(); ++i)
            pdf.WritePage(pages[i], static_cast<std::int32_t>(i + 1));
        pdf.Finish();
    }
    std::filesystem::remove(output);
    CountPages(state, pages.size());
}

void ExtractTextSample(benchmark::State& state)
{
    static const auto pages = SampleReportPages();
    ExtractPages(state, pages);
}

void ExportPdfSample(benchmark::State& state)
{
    static const auto pages = SampleReportPages();
    ExportPdf(state, pages);
}

void ExtractTextCorpus(benchmark::State& state)
{
    static const auto pages = CorpusRecordings();
    ExtractPages(state, pages);
}

void ExportPdfCorpus(benchmark::State& state)
{
    static const auto pages = CorpusRecordings();
    ExportPdf(state, pages);
}

BENCHMARK(ExtractTextSample)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPdfSample)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractTextCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportPdfCorpus)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
