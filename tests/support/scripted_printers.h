#pragma once
// A printer described in code for the tests: A4 upright by default, with the
// capabilities a test needs.

#include <memory>
#include <vector>

#include "platform/printing/scripted_printer_backend.h"

namespace qrp::test {

// A back end with this one printer, which is the default, its device mode on paper code paper.
inline std::shared_ptr<TScriptedPrinterBackend> OneScriptedPrinter(
    const TPrinterCapabilities& capabilities, const TPrinterInfo& info = {"Scripted", "scripted", "none"},
    std::int16_t paper = 9)
{
    TScriptedPrinter printer;
    printer.Info = info;
    TDeviceMode mode;
    mode.Fields = DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES;
    mode.PaperSize = paper;
    printer.DefaultMode = mode;
    printer.Capabilities = capabilities;
    return std::make_shared<TScriptedPrinterBackend>(std::vector {printer}, 0);
}

}  // namespace qrp::test
