#include "tools/qrptool/print_destination.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/exceptions.h"
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
    if (line.Has("--printer") && line.Value("--printer") == qrp::kPdfFilePrinter)
        throw UsageError("the printer " + line.Value("--printer") + " writes a file: name it with --output FILE.pdf");
}

void ChooseDestination(qrp::TQRPrinter& printer, const CommandLine& line)
{
    if (line.Has("--output")) {
        const std::string output = std::filesystem::absolute(line.Value("--output")).string();
        // The folder must be there to take the file: said now, with the system's reason,
        // rather than as a printer that is not valid.
        const std::string folder = std::filesystem::path(output).parent_path().string();
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0)
            throw qrp::EFCreateError(output, errno);
        if (!S_ISDIR(info.st_mode))
            throw qrp::EFCreateError(output, ENOTDIR);
        if (::access(folder.c_str(), W_OK) != 0)
            throw qrp::EFCreateError(output, errno);
        printer.OwnPrinter().SetPrinter(qrp::kPdfFilePrinter, "", output, std::nullopt);
        printer.Settings().ReadPrinterSettings();
    } else if (line.Has("--printer")) {
        printer.SetPrinterPosition(PrinterIndex(printer, line.Value("--printer")));
    }
}

}  // namespace qrptool
