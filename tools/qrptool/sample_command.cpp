// qrptool sample: the bundled sample report produced as a report is, through
// the report printer: StartDocument, NewPage and drawing for every page,
// FinishDocument, Save.

#include <string>

#include "examples/sample_report.h"
#include "report/qr_printer.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/reference_printer.h"

namespace qrptool {

int RunSample(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    EnsureGuiApplication();
    UseReferencePrinter();
    const qrp::sample::TInvoiceReport report;
    qrp::TQRPrinter printer;
    printer.JobTitle = "Přehled vydaných faktur";
    printer.SetCompression(line.Has("--compress"));
    printer.SetPaperSize(qrp::TQRPaperSize::A4);
    printer.SetOrientation(qrp::poPortrait);
    printer.StartDocument();
    for (int page = 1; page <= report.PageCount(); ++page) {
        printer.NewPage();
        report.DrawPage(*printer.PageCanvas(), page);
    }
    printer.FinishDocument();
    OnFile(fileName, [&] { printer.Save(fileName); });
    return 0;
}

}  // namespace qrptool
