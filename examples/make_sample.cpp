// Writes the bundled sample report, recorded through the recording canvas at
// 96 pixels per inch and stored through the page list, twice: compressed as
// OUT-DIR/sample.qrp and plain as OUT-DIR/sample-plain.qrp.
//
//   make-sample-report OUT-DIR

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "examples/sample_report.h"
#include "platform/canvas/metafile_canvas.h"
#include "platform/date_time.h"
#include "report/qr_page_list.h"

namespace {

// The moment the sample claims to be printed, so that every run writes the same bytes.
constexpr qrp::TDateTimeParts kPrinted {2024, 4, 2, 9, 30, 0, 0};

void WriteReport(const std::string& fileName, const std::vector<qrp::TMetafile>& pages, bool compressed)
{
    qrp::TQRPageList document;
    document.SetCompression(compressed);
    document.SetClock([] { return qrp::EncodeDateTime(kPrinted); });
    document.AttachStream(std::make_unique<qrp::TQRStream>(qrp::TQRStream::kDefaultSpillLimit));
    for (const qrp::TMetafile& page : pages)
        document.AddPage(page);
    document.Finish();
    document.WriteToFile(fileName);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make-sample-report OUT-DIR\n", stderr);
        return 2;
    }
    // Text is measured with the screen's fonts; no display is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;  // Qt sees the program name only; OUT-DIR is ours
    QGuiApplication application(qtArgc, argv);
    try {
        const qrp::sample::TInvoiceReport report;
        std::vector<qrp::TMetafile> pages;
        for (int page = 1; page <= report.PageCount(); ++page) {
            qrp::TMetafileCanvas canvas(qrp::sample::kPageWidth, qrp::sample::kPageHeight, qrp::sample::kPixelsPerInch);
            report.DrawPage(canvas, page);
            pages.push_back(canvas.Finish());
        }
        const std::filesystem::path directory(argv[1]);
        WriteReport((directory / "sample.qrp").string(), pages, true);
        WriteReport((directory / "sample-plain.qrp").string(), pages, false);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-sample-report: %s\n", error.what());
        return 1;
    }
    return 0;
}
