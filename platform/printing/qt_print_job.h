#pragma once
// A document for a CUPS queue: Qt paints it as PDF into a temporary file, and
// the file goes to the queue only when the document ends, with copies,
// duplex, paper and orientation as job options. An aborted document is never
// sent, and a queue that refuses the job is reported.

#include <memory>
#include <optional>
#include <string>

#include "platform/printing/device_mode.h"
#include "platform/printing/printer_backend.h"

class QPrinterInfo;

namespace qrp {

// Raises EPrinter when the PDF cannot be started.
std::unique_ptr<TPrintJob> StartCupsJob(const QPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                        const std::string& title);

}  // namespace qrp
