// Finding pages in a report file: sequential, backwards and random lookups in
// a 20 000-page document, and the time to open a document and show page 1.

#include <benchmark/benchmark.h>

#include <random>

#include "bench/bench_data.h"
#include "report/qr_page_list.h"

namespace qrp::bench {
namespace {

constexpr int kLookupPages = 20000;

void GetPageSequential(benchmark::State& state)
{
    TQRPageList list;
    list.AttachFile(ReportFileWithPages(kLookupPages));
    std::int32_t n = 0;
    for (auto _ : state) {
        n = n % kLookupPages + 1;
        benchmark::DoNotOptimize(list.GetPage(n));
    }
}

void GetPageBackwards(benchmark::State& state)
{
    TQRPageList list;
    list.AttachFile(ReportFileWithPages(kLookupPages));
    std::int32_t n = 1;
    for (auto _ : state) {
        n = n == 1 ? kLookupPages : n - 1;
        benchmark::DoNotOptimize(list.GetPage(n));
    }
}

// A fresh document for every 1000 random lookups, so the walks a cold file
// needs are part of the figure.
void GetPageRandom(benchmark::State& state)
{
    std::mt19937 random(42);
    std::unique_ptr<TQRPageList> list;
    int lookups = 0;
    for (auto _ : state) {
        if (lookups++ % 1000 == 0) {
            list = std::make_unique<TQRPageList>();
            list->AttachFile(ReportFileWithPages(kLookupPages));
        }
        benchmark::DoNotOptimize(list->GetPage(static_cast<std::int32_t>(random() % kLookupPages + 1)));
    }
}

void OpenAndShowPage1(benchmark::State& state)
{
    const std::string& file = ReportFileWithPages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TQRPageList list;
        list.AttachFile(file);
        benchmark::DoNotOptimize(list.GetPage(1));
    }
}

BENCHMARK(GetPageSequential)->Unit(benchmark::kMicrosecond);
BENCHMARK(GetPageBackwards)->Unit(benchmark::kMicrosecond);
BENCHMARK(GetPageRandom)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenAndShowPage1)->Arg(1)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qrp::bench
