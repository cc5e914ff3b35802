// Recording speed: the sample report's pages drawn through the recording
// canvas, and stored through the page list as a report is produced.

#include <benchmark/benchmark.h>

#include <memory>

#include "examples/sample_report.h"
#include "platform/canvas/metafile_canvas.h"
#include "report/qr_page_list.h"

namespace qrp::bench {
namespace {

TMetafile RecordPage(const sample::TInvoiceReport& report, int page)
{
    TMetafileCanvas canvas(sample::kPageWidth, sample::kPageHeight, sample::kPixelsPerInch);
    report.DrawPage(canvas, page);
    return canvas.Finish();
}

void RecordSamplePage(benchmark::State& state)
{
    const sample::TInvoiceReport report;
    int page = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecordPage(report, page + 1));
        page = (page + 1) % report.PageCount();
    }
    state.counters["pages_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void RecordAndStoreSamplePage(benchmark::State& state)
{
    const sample::TInvoiceReport report;
    const bool compressed = state.range(0) != 0;
    auto list = std::make_unique<TQRPageList>();
    int page = 0;
    for (auto _ : state) {
        // A fresh document every 500 pages keeps the temporary file small.
        if (list->PageTotal() == 500) {
            list = std::make_unique<TQRPageList>();
        }
        if (!list->PageStream()) {
            list->SetCompression(compressed);
            list->AttachStream(std::make_unique<TQRStream>(TQRStream::kDefaultSpillLimit));
        }
        list->AddPage(RecordPage(report, page + 1));
        page = (page + 1) % report.PageCount();
    }
    state.counters["pages_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(RecordSamplePage)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordAndStoreSamplePage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
