// The viewer as a user drives it, on the offscreen platform: the time from a
// Page Down key to the new page painted complete (every tile in view drawn),
// at whole-page and page-width zoom, on the sample report and on the corpus's
// recordings; and the process's peak memory at 2000 % on an A4 page and on a
// 1 m × 1 m page, and while paging through 1000 pages.
//
// Peak memory is the process's high-water mark, so run the memory cases one
// per process: qrp_viewer_bench --benchmark_filter=PeakMemoryA4At2000

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

#include "app/qrp_load.h"
#include "app/qrp_prew.h"
#include "bench/bench_data.h"
#include "bench/run_benchmarks.h"
#include "platform/emf/emf_writer.h"
#include "preview/framed_page.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/app/run_viewer.h"

namespace qrp::bench {
namespace {

constexpr QSize kWindow(1600, 1000);

double PeakRssMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Starts the viewer on file, sized as a large window, and runs body from the
// program's loop once the file is shown; closes the viewer after it.
void InViewer(benchmark::State& state, const std::string& file, const std::function<void(TQRPrew&)>& body)
{
    TQRPLoad load({file});
    const bool shown = test::RunViewer(load, file, [&](TQRPrew& viewer) {
        viewer.showNormal();
        viewer.resize(kWindow);
        viewer.activateWindow();
        if (!QTest::qWaitForWindowActive(&viewer))
            state.SkipWithError("the viewer window did not become active");
        else
            body(viewer);
    });
    if (!shown)
        state.SkipWithError("the viewer did not show the file");
}

// Handles events until the page shown is pageNumber and painted complete.
void WaitUntilPainted(TQRPrew& viewer, std::int32_t pageNumber)
{
    TQRPreviewImage* image = viewer.QRPreview1->PageImage();
    while (image->PageNumber() != pageNumber || !image->ViewPainted())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(values.size())))];
}

// Milliseconds to draw the part of the page in view at once, without tiles
// or threads: how costly the page is at this zoom.
double ViewRenderCost(const TQRPreviewImage& image)
{
    const QRect view = image.visibleRegion().boundingRect();
    QElapsedTimer timer;
    timer.start();
    const QImage drawn = RenderFramedPageArea(*image.Recording(), image.size(), image.devicePixelRatioF(),
                                              DeviceRect(view, image.devicePixelRatioF()));
    benchmark::DoNotOptimize(drawn.constBits());
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Page Down through the document and round again, each turn timed from the
// key to the new page painted complete.
void PageTurns(benchmark::State& state, const std::string& file, bool pageWidth)
{
    InViewer(state, file, [&](TQRPrew& viewer) {
        TQRPreview& preview = *viewer.QRPreview1;
        pageWidth ? preview.ZoomPageWidth() : preview.ZoomWholePage();
        const std::int32_t pages = preview.ReportPrinter()->PageTotal;
        if (pages < 2) {
            state.SkipWithError("the document has fewer than two pages");
            return;
        }
        WaitUntilPainted(viewer, preview.PageNumber());
        std::vector<double> turns, cheapTurns, costs;
        for (auto _ : state) {
            if (preview.PageNumber() == pages) {
                state.PauseTiming();
                preview.SetPageNumber(1);
                WaitUntilPainted(viewer, 1);
                // The neighbours are drawn ahead before the next turn, as when a reader looks at a page.
                preview.PageImage()->WaitUntilRendered();
                state.ResumeTiming();
            }
            const std::int32_t next = preview.PageNumber() + 1;
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(&preview, Qt::Key_PageDown);
            WaitUntilPainted(viewer, next);
            const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            turns.push_back(elapsed);
            state.PauseTiming();
            costs.push_back(ViewRenderCost(*preview.PageImage()));
            if (costs.back() <= 5.0)
                cheapTurns.push_back(elapsed);
            preview.PageImage()->WaitUntilRendered();
            state.ResumeTiming();
        }
        state.counters["pages"] = pages;
        state.counters["zoom_percent"] = preview.Zoom();
        state.counters["median_ms"] = Percentile(turns, 0.5);
        state.counters["p95_ms"] = Percentile(turns, 0.95);
        state.counters["cheap_pages_p95_ms"] = Percentile(cheapTurns, 0.95);
        state.counters["cheap_turns"] = static_cast<double>(cheapTurns.size());
        state.counters["view_render_median_ms"] = Percentile(costs, 0.5);
    });
}

void SampleWholePage(benchmark::State& state) { PageTurns(state, QRP_SOURCE_DIR "/examples/sample.qrp", false); }
void SamplePageWidth(benchmark::State& state) { PageTurns(state, QRP_SOURCE_DIR "/examples/sample.qrp", true); }

const std::string& CorpusReport()
{
    static const std::string file = [] {
        const std::vector<TMetafile> pages = CorpusRecordings();
        return pages.size() < 2 ? std::string() : WriteReportFile(pages);
    }();
    return file;
}

void CorpusTurns(benchmark::State& state, bool pageWidth)
{
    if (CorpusReport().empty()) {
        state.SkipWithError("the shared corpus is absent");
        return;
    }
    PageTurns(state, CorpusReport(), pageWidth);
}
void CorpusWholePage(benchmark::State& state) { CorpusTurns(state, false); }
void CorpusPageWidth(benchmark::State& state) { CorpusTurns(state, true); }

BENCHMARK(SampleWholePage)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(SamplePageWidth)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(CorpusWholePage)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(CorpusPageWidth)->Iterations(200)->Unit(benchmark::kMillisecond);

// Scrolls the view over the page at zoom in steps of a screen, along every
// row when rows is 0, else along that many rows spread over the page.
void ScrollOver(TQRPrew& viewer, int zoom, int rows)
{
    TQRPreview& preview = *viewer.QRPreview1;
    preview.SetZoom(zoom);
    QScrollBar& across = *preview.horizontalScrollBar();
    QScrollBar& down = *preview.verticalScrollBar();
    const int rowStep = rows > 0 ? std::max(down.maximum() / rows, 1) : std::max(down.pageStep(), 1);
    for (int y = 0; y <= down.maximum(); y += rowStep) {
        down.setValue(y);
        for (int x = 0; x <= across.maximum(); x += std::max(across.pageStep(), 1)) {
            across.setValue(x);
            preview.PageImage()->WaitUntilRendered();
            QCoreApplication::processEvents();
        }
    }
}

void PeakMemoryOf(benchmark::State& state, const std::string& file, int rows)
{
    const double before = PeakRssMegabytes();
    for (auto _ : state)
        InViewer(state, file, [&](TQRPrew& viewer) { ScrollOver(viewer, 2000, rows); });
    state.counters["peak_rss_before_MB"] = before;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void PeakMemoryA4At2000(benchmark::State& state)
{
    static const std::string file = WriteReportFile({SampleReportPages().front()});
    PeakMemoryOf(state, file, 0);
}
BENCHMARK(PeakMemoryA4At2000)->Iterations(1)->Unit(benchmark::kSecond);

// A page one metre square (3780 pixels at 96 per inch) with lines, shapes
// and text all over it; at 2000 % the view walks 40 rows across it.
void PeakMemoryMetreSquareAt2000(benchmark::State& state)
{
    static const std::string file = [] {
        constexpr int kSide = 3780;
        emf::TEmfWriter page(kSide, kSide);
        page.SelectObject(page.CreateFont({-40, 400, false, false, 238, u"DejaVu Sans"}));
        for (int y = 100; y < kSide; y += 300)
            for (int x = 100; x < kSide; x += 300) {
                page.Rectangle({x, y, x + 200, y + 120});
                page.TextOut(x + 10, y + 40, u"Čtverec " + std::u16string(1, static_cast<char16_t>(u'A' + (x / 300) % 26)));
            }
        return WriteReportFile({TMetafile(page.Finish())});
    }();
    PeakMemoryOf(state, file, 40);
}
BENCHMARK(PeakMemoryMetreSquareAt2000)->Iterations(1)->Unit(benchmark::kSecond);

// 1000 pages of the sample report's pages over again, each turned to with
// Page Down and painted complete.
void PeakMemoryPaging1000(benchmark::State& state)
{
    static const std::string file = [] {
        const std::vector<TMetafile> sample = SampleReportPages();
        std::vector<TMetafile> pages;
        for (std::size_t i = 0; i < 1000; ++i)
            pages.push_back(sample[i % sample.size()]);
        return WriteReportFile(pages);
    }();
    const double before = PeakRssMegabytes();
    for (auto _ : state)
        InViewer(state, file, [&](TQRPrew& viewer) {
            TQRPreview& preview = *viewer.QRPreview1;
            preview.ZoomPageWidth();
            for (std::int32_t next = 2; next <= preview.ReportPrinter()->PageTotal; ++next) {
                QTest::keyClick(&preview, Qt::Key_PageDown);
                WaitUntilPainted(viewer, next);
            }
        });
    state.counters["peak_rss_before_MB"] = before;
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}
BENCHMARK(PeakMemoryPaging1000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace qrp::bench

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // No printing service: the viewer lays pages out by their own size.
    qputenv("CUPS_SERVER", "/nonexistent/qrp-bench-cups.sock");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    qrp::FirstStart = false;
    return qrp::bench::RunBenchmarks(argc, argv);
}
