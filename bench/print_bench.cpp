// Printing speed: a 100-page report (the sample's three pages over and over)
// printed through the report printer, as the viewer prints a loaded file.
// By default into a PDF file through the PDF file printer, which also tells
// the bytes per page the queue receives; with QRP_BENCH_PRINTER=QUEUE, spooled
// to that CUPS queue (the daemon CUPS_SERVER names).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QDir>

#include "examples/sample_report.h"
#include "platform/canvas/metafile_canvas.h"
#include "platform/printing/printer.h"
#include "platform/printing/qt_printer_backend.h"
#include "printing/printer_settings.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"

namespace qrp::bench {
namespace {

constexpr int kPages = 100;

// The 100-page report, written once per process.
const std::string& SampleReportFile()
{
    static const std::string file = [] {
        const sample::TInvoiceReport report;
        TQRPageList list;
        list.SetCompression(true);
        list.AttachStream(std::make_unique<TQRStream>(TQRStream::kDefaultSpillLimit));
        for (int page = 0; page < kPages; ++page) {
            TMetafileCanvas canvas(sample::kPageWidth, sample::kPageHeight, sample::kPixelsPerInch);
            report.DrawPage(canvas, page % report.PageCount() + 1);
            list.AddPage(canvas.Finish());
        }
        list.Finish();
        const std::string name = (QDir::tempPath() + "/qrp-print-bench.qrp").toStdString();
        list.WriteToFile(name);
        std::atexit([] { std::filesystem::remove((QDir::tempPath() + "/qrp-print-bench.qrp").toStdString()); });
        return name;
    }();
    return file;
}

void PrintSampleReport(benchmark::State& state)
{
    const char* queue = std::getenv("QRP_BENCH_PRINTER");
    const std::string output = (QDir::tempPath() + "/qrp-print-bench.pdf").toStdString();
    TQRPrinter printer;
    if (queue && *queue)
        printer.OwnPrinter().SetPrinter(queue, "", "", std::nullopt);
    else
        printer.OwnPrinter().SetPrinter(kPdfFilePrinter, "", output, std::nullopt);
    printer.Settings().ReadPrinterSettings();
    printer.Load(SampleReportFile());
    for (auto _ : state)
        printer.Print();
    state.SetLabel(printer.Settings().DeviceName());
    state.counters["pages_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPages, benchmark::Counter::kIsRate);
    if (!(queue && *queue)) {
        state.counters["bytes_per_page"] = static_cast<double>(std::filesystem::file_size(output)) / kPages;
        std::filesystem::remove(output);
    }
}

BENCHMARK(PrintSampleReport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace qrp::bench
