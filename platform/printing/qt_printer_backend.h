#pragma once
// The printers of the system's printing service (CUPS) through Qt PrintSupport,
// and one more: the PDF file printer, which writes the document to the file
// its port names, so that a machine without a printer can still print.
// Device modes map onto QPrinter settings: paper codes are QPageSize's
// Windows ids, and printing happens at QPrinter's high resolution. Documents
// go to the queue as PDF with copies and duplex as job options, so each page
// is painted once (qt_print_job.h). A device mode's paper source does not
// reach the queue: Qt has no paper source control for CUPS. Without a
// running service the PDF file printer is the only one.

#include <memory>

#include "platform/printing/printer_backend.h"

class QPrinter;

namespace qrp {

// The PDF file printer's device name, the name Qt's print dialog gives it.
// Queue names cannot hold blanks, so no queue is ever called so.
inline constexpr const char* kPdfFilePrinter = "Print to File (PDF)";

// A QPrinter for the printer, set up with the device mode or its own
// defaults; the PDF file printer's writes to its port. Null when the printing
// service does not know the printer.
std::unique_ptr<QPrinter> ConfiguredPrinter(const TPrinterInfo& printer, const std::optional<TDeviceMode>& mode);

class TQtPrinterBackend : public TPrinterBackend {
public:
    TPrinterList EnumeratePrinters() override;
    std::optional<TDeviceMode> DefaultDeviceMode(const TPrinterInfo& printer) override;
    std::optional<TPrinterCapabilities> Capabilities(const TPrinterInfo& printer,
                                                     const std::optional<TDeviceMode>& mode) override;
    std::unique_ptr<TPrintJob> StartJob(const TPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                        const std::string& title) override;
};

}  // namespace qrp
