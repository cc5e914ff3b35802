#pragma once
// Where qrptool print and the preview window's Print send a report:
// "--printer NAME" a CUPS queue, "--output FILE.pdf" a PDF file, neither the
// default printer.

#include "tools/qrptool/command_line.h"

namespace qrp {
class TQRPrinter;
}

namespace qrptool {

// A usage error when the line asks for both.
void CheckDestination(const CommandLine& line);

// Selects the destination on the report printer; a usage error for an unknown printer.
void ChooseDestination(qrp::TQRPrinter& printer, const CommandLine& line);

}  // namespace qrptool
