#include "tools/qrptool/reference_printer.h"

#include <memory>

#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "printing/paper_sizes.h"

namespace qrptool {

void UseReferencePrinter()
{
    qrp::TScriptedPrinter printer;
    printer.Info = {"Reference", "reference", "none"};
    qrp::TDeviceMode mode;
    mode.Fields = qrp::DM_ORIENTATION | qrp::DM_PAPERSIZE;
    mode.PaperSize = qrp::PaperCode(qrp::TQRPaperSize::A4);
    printer.DefaultMode = mode;
    printer.Capabilities.PixelsPerInchX = printer.Capabilities.PixelsPerInchY = 600;
    for (int i = 1; i < qrp::kPaperSizeCount; ++i)
        printer.Capabilities.PaperCodes.push_back(qrp::PaperCode(qrp::PaperSizeAt(i)));
    qrp::SetPrinterBackend(std::make_shared<qrp::TScriptedPrinterBackend>(std::vector {printer}, 0));
}

}  // namespace qrptool
