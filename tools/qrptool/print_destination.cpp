#include "tools/qrptool/print_destination.h"

#include <filesystem>
#include <optional>
#include <string>

#include "platform/printing/printer.h"
#include "platform/printing/qt_printer_backend.h"
#include "printing/printer_settings.h"
#include "report/qr_printer.h"

namespace qrptool {

namespace {
// The printer's position in the report printer's list, or a usage error.
int PrinterIndex(qrp::TQRPrinter& printer, const std::string& name)
{
    const auto& printers = printer.OwnPrinter().Printers();
    for (std::size_t i = 0; i < printers.size(); ++i)
        if (printers[i].Device == name)
            return static_cast<int>(i);
    std::string known;
    for (const auto& info : printers)
        known += (known.empty() ? "" : ", ") + info.Device;
    throw UsageError("no printer named " + name + " (printers: " + known + ")");
}
}  // namespace

void CheckDestination(const CommandLine& line)
{
    if (line.Has("--printer") && line.Has("--output"))
        throw UsageError("--output prints to a PDF file; it takes no --printer");
}

void ChooseDestination(qrp::TQRPrinter& printer, const CommandLine& line)
{
    if (line.Has("--output")) {
        const std::string output = std::filesystem::absolute(line.Value("--output")).string();
        printer.OwnPrinter().SetPrinter(qrp::kPdfFilePrinter, "", output, std::nullopt);
        printer.Settings().ReadPrinterSettings();
    } else if (line.Has("--printer")) {
        printer.SetPrinterPosition(PrinterIndex(printer, line.Value("--printer")));
    }
}

}  // namespace qrptool
