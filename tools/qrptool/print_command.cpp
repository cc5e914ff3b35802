// qrptool print: a report file on a printer, as the viewer prints it: each
// page of the range stretched into the printable area of the paper that the
// file's first page asks for, copies made by the queue.

#include <cstdio>
#include <filesystem>
#include <string>

#include "printing/printer_settings.h"
#include "report/qr_printer.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/print_destination.h"

namespace qrptool {

namespace {
// "A-B" or "A": the first and last page.
std::pair<int, int> ParseRange(const std::string& text)
{
    const std::size_t dash = text.find('-');
    const int first = ParseNumber(text.substr(0, dash), "--pages", 1, 0x7FFFFFFF);
    const int last = dash == std::string::npos ? first : ParseNumber(text.substr(dash + 1), "--pages", 1, 0x7FFFFFFF);
    if (last < first)
        throw ReversedPageRange(text);
    return {first, last};
}
}  // namespace

int RunPrint(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    if (line.Has("--landscape") && line.Has("--portrait"))
        throw UsageError("--landscape and --portrait exclude each other");
    CheckDestination(line);
    const int copies = line.Has("--copies") ? ParseNumber(line.Value("--copies"), "--copies", 1, 32767) : 1;
    const auto range = line.Has("--pages") ? ParseRange(line.Value("--pages")) : std::pair {0, 0};

    RequireReportFile(fileName);
    EnsureGuiApplication();
    qrp::TQRPrinter printer;
    if (!printer.HasPrinter)
        throw std::runtime_error("no printer is installed");
    // The printer first: loading recognises the paper among the sizes it takes.
    ChooseDestination(printer, line);
    OnFile(fileName, [&] { printer.Load(fileName); });

    if (range.first > printer.PageTotal)
        throw std::runtime_error(fileName + ": the document has " + std::to_string(printer.PageTotal) +
                                 " pages, none in " + line.Value("--pages"));
    printer.FirstPage = range.first;
    printer.LastPage = range.second;
    if (line.Has("--landscape") || line.Has("--portrait")) {
        const qrp::TPrinterOrientation wanted = line.Has("--landscape") ? qrp::poLandscape : qrp::poPortrait;
        printer.SetOrientation(wanted);
        if (printer.Orientation() != wanted)
            throw std::runtime_error("the printer cannot turn the paper");
    }
    printer.SetCopies(copies);
    if (printer.Settings().Copies() != copies)
        throw std::runtime_error("the printer cannot make " + std::to_string(copies) + " copies");
    printer.JobTitle = std::filesystem::path(fileName).filename().string();

    printer.Print();
    const int first = range.first > 0 ? range.first : 1;
    const int last = range.second > 0 ? std::min(range.second, printer.PageTotal) : printer.PageTotal;
    std::printf("%s: pages %d-%d, %d %s, to %s\n", fileName.c_str(), first, last, copies,
                copies == 1 ? "copy" : "copies", printer.Settings().DeviceName().c_str());
    return 0;
}

}  // namespace qrptool
