// PNG pictures of pages: zlib levels and row filters compared by time and
// size (counter "bytes": the pictures' total) on the sample report at 300 dpi
// and on the corpus's recordings at their frame size, with Qt's own PNG writer
// (what qrptool wrote before) as the yardstick; and pages drawn in strips of
// several heights into PNG against the page drawn whole.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include "bench/bench_data.h"
#include "export/page_strips.h"
#include "export/png_export_filter.h"
#include "export/png_writer.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"
#include "platform/stream.h"

namespace qrp::bench {
namespace {

// A stream that counts what is written to it and keeps nothing.
class TCountingStream : public TStream {
public:
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void*, std::size_t count) override
    {
        Count += count;
        return count;
    }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return static_cast<std::int64_t>(Count); }
    std::size_t Count = 0;
};

struct TPictures {
    std::vector<QImage> Images;
    double Pixels = 0;
};

TPictures Render(const std::vector<TMetafile>& pages, double dpi)
{
    TPictures pictures;
    for (const TMetafile& page : pages) {
        QImage image = emf::RenderPageImage(page, dpi);
        if (image.isNull())
            continue;
        pictures.Pixels += static_cast<double>(image.width()) * image.height();
        pictures.Images.push_back(std::move(image));
    }
    return pictures;
}

const TPictures& SampleAt300()
{
    static const TPictures pictures = Render(SampleReportPages(), 300);
    return pictures;
}

const TPictures& CorpusAt96()
{
    static const TPictures pictures = Render(CorpusRecordings(), 96);
    return pictures;
}

void Report(benchmark::State& state, const TPictures& pictures, std::size_t bytes)
{
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["Mpx_per_second"] = benchmark::Counter(
        pictures.Pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void Encode(benchmark::State& state, const TPictures& pictures)
{
    if (pictures.Images.empty()) {
        state.SkipWithError("no pages (the shared corpus is absent)");
        return;
    }
    const TPngSettings settings {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                                 static_cast<int>(state.range(2))};
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const QImage& image : pictures.Images) {
            TCountingStream out;
            TPngWriter png(out, image.size(), 300, settings);
            png.WriteRows(image, image.height());
            png.Finish();
            bytes += out.Count;
        }
    }
    Report(state, pictures, bytes);
}

void EncodeWithQt(benchmark::State& state, const TPictures& pictures)
{
    if (pictures.Images.empty()) {
        state.SkipWithError("no pages (the shared corpus is absent)");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const QImage& image : pictures.Images) {
            QByteArray data;
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            bytes += static_cast<std::size_t>(data.size());
        }
    }
    Report(state, pictures, bytes);
}

void PngSample(benchmark::State& state) { Encode(state, SampleAt300()); }
void PngCorpus(benchmark::State& state) { Encode(state, CorpusAt96()); }
void QtPngSample(benchmark::State& state) { EncodeWithQt(state, SampleAt300()); }
void QtPngCorpus(benchmark::State& state) { EncodeWithQt(state, CorpusAt96()); }

// Levels × filters (none 0x08, sub 0x10, up 0x20, Paeth 0x80, all 0xF8) with
// libpng's strategy (-1), and a few with zlib's run-length strategy (3, Z_RLE).
void Settings(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"level", "filters", "strategy"});
    for (const int level : {1, 2, 3, 4, 6, 9})
        for (const int filters : {0x08, 0x10, 0x20, 0x80, 0xF8})
            b->Args({level, filters, -1});
    for (const int level : {1, 4, 6})
        for (const int filters : {0x08, 0x10, 0x20})
            b->Args({level, filters, 3});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(PngSample)->Apply(Settings);
BENCHMARK(QtPngSample)->Unit(benchmark::kMillisecond);
BENCHMARK(PngCorpus)->Apply(Settings);
BENCHMARK(QtPngCorpus)->Unit(benchmark::kMillisecond);

// A sample page into a PNG picture at dpi (range 0): in strips of range(1)
// megabytes, and whole (range(1) 0) through RenderPageImage and the same writer.
void PngPage(benchmark::State& state)
{
    static const auto pages = SampleReportPages();
    const double dpi = static_cast<double>(state.range(0));
    const auto stripBytes = static_cast<std::size_t>(state.range(1)) << 20;
    for (auto _ : state) {
        TCountingStream out;
        if (stripBytes > 0) {
            WritePngPage(pages[1], 2, dpi, out, {}, {}, stripBytes);
        } else {
            const QImage image = emf::RenderPageImage(pages[1], dpi);
            TPngWriter png(out, image.size(), dpi);
            png.WriteRows(image, image.height());
            png.Finish();
        }
        benchmark::DoNotOptimize(out.Count);
    }
}
BENCHMARK(PngPage)
    ->ArgNames({"dpi", "strip_MB"})
    ->Args({300, 0})
    ->Args({300, 8})
    ->Args({300, 32})
    ->Args({1200, 0})
    ->Args({1200, 8})
    ->Args({1200, 32})
    ->Args({1200, 128})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qrp::bench
