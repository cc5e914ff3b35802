#pragma once
// Documents painted by Qt as PDF into a temporary file and delivered only when
// they end: to a CUPS queue, with copies, collation, duplex, paper and
// orientation as job options, or to a named PDF file. An aborted document is
// never delivered, and a queue that refuses the job is reported.

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

// A document for the file outputFile: it appears there, whole, when the
// document ends, replacing what was there. Raises EPrinter when the PDF
// cannot be started.
std::unique_ptr<TPrintJob> StartPdfFileJob(const std::string& outputFile, const std::optional<TDeviceMode>& mode,
                                           const std::string& title);

}  // namespace qrp
