#pragma once
// The printers of the system's printing service (CUPS) through Qt PrintSupport.
// Device modes map onto QPrinter settings: paper codes are QPageSize's
// Windows ids, and printing happens at QPrinter's high resolution. Documents
// go to the queue as PDF with copies and duplex as job options, so each page
// is painted once (qt_print_job.h). A device mode's paper source does not
// reach the queue: Qt has no paper source control for CUPS. Without a
// running service the printer list is empty.

#include "platform/printing/printer_backend.h"

namespace qrp {

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
