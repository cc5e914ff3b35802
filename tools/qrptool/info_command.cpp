// qrptool info: what a report file holds.

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/date_time.h"
#include "platform/file_stream.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"
#include "report/report_file_format.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/reference_printer.h"

namespace qrptool {

namespace {
struct ReportSummary {
    std::int32_t Pages = 0;
    bool Compressed = false;
    std::optional<std::string> Created;
    bool HasFirstPage = false;
    int FirstPageWidth = 0;
    int FirstPageHeight = 0;
    std::optional<std::string> Paper;  // the recognised paper size, when page 1 matches one
    std::string Orientation = "portrait";
};

ReportSummary Summarize(const std::string& fileName)
{
    ReportSummary summary;
    qrp::TQRPageList list;
    list.AttachFile(fileName);
    summary.Pages = list.PageTotal();
    summary.Compressed = list.Compression();

    qrp::TFileStream file(fileName, qrp::TFileMode::fmOpenReadShared);
    qrp::TReportHeaderBytes bytes;
    file.ReadBuffer(bytes.data(), bytes.size());
    summary.Created = qrp::FormatIso8601(qrp::DecodeReportHeader(bytes).Created);

    if (const std::unique_ptr<qrp::TMetafile> page = list.GetPage(1)) {
        summary.HasFirstPage = true;
        summary.FirstPageWidth = page->Width();
        summary.FirstPageHeight = page->Height();
    }
    // The paper as the report printer recognises it on loading.
    UseReferencePrinter();
    qrp::TQRPrinter printer;
    printer.Load(fileName);
    if (printer.PaperRecognised())
        summary.Paper = std::string(qrp::PaperSizeIdentifier(printer.PaperSize()));
    summary.Orientation = printer.Orientation() == qrp::poLandscape ? "landscape" : "portrait";
    return summary;
}

void PrintJson(const ReportSummary& s)
{
    const std::string created = s.Created ? "\"" + *s.Created + "\"" : "null";
    std::string firstPage = "null";
    if (s.HasFirstPage)
        firstPage = "{\"width\": " + std::to_string(s.FirstPageWidth) + ", \"height\": " +
                    std::to_string(s.FirstPageHeight) + "}";
    const std::string paper = s.Paper ? "\"" + *s.Paper + "\"" : "null";
    std::printf("{\"pages\": %d, \"compressed\": %s, \"created\": %s, \"first_page\": %s, \"paper\": %s, "
                "\"orientation\": \"%s\"}\n",
                s.Pages, s.Compressed ? "true" : "false", created.c_str(), firstPage.c_str(), paper.c_str(),
                s.Orientation.c_str());
}

void PrintText(const ReportSummary& s)
{
    std::printf("Pages:       %d\n", s.Pages);
    std::printf("Compression: %s\n", s.Compressed ? "splay-tree coded" : "none");
    std::printf("Created:     %s\n", s.Created ? s.Created->c_str() : "(not a valid date)");
    if (s.HasFirstPage)
        std::printf("Page 1:      %d x %d pixels at 96 per inch\n", s.FirstPageWidth, s.FirstPageHeight);
    else
        std::printf("Page 1:      none\n");
    std::printf("Paper:       %s, %s\n", s.Paper ? s.Paper->c_str() : "not recognised", s.Orientation.c_str());
}
}  // namespace

int RunInfo(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    RequireReportFile(fileName);
    const ReportSummary summary = OnFile(fileName, [&] { return Summarize(fileName); });
    if (line.Has("--json"))
        PrintJson(summary);
    else
        PrintText(summary);
    return 0;
}

}  // namespace qrptool
