#include "platform/printing/printer_backend.h"

#include "platform/printing/qt_printer_backend.h"

namespace qrp {

namespace {
std::shared_ptr<TPrinterBackend>& InstalledBackend()
{
    static std::shared_ptr<TPrinterBackend> backend;
    return backend;
}
}  // namespace

std::shared_ptr<TPrinterBackend> PrinterBackend()
{
    auto& backend = InstalledBackend();
    if (!backend)
        backend = std::make_shared<TQtPrinterBackend>();
    return backend;
}

void SetPrinterBackend(std::shared_ptr<TPrinterBackend> backend) { InstalledBackend() = std::move(backend); }

}  // namespace qrp
