#include "platform/printing/qt_printer_backend.h"

#include <algorithm>

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/printing/qt_device_mode.h"
#include "platform/printing/qt_print_job.h"

namespace qrp {

namespace {
QPrinterInfo FindPrinter(const TPrinterInfo& printer)
{
    return QPrinterInfo::printerInfo(QString::fromStdString(printer.Device));
}

// A printer set up for one device mode, or for its own defaults.
std::unique_ptr<QPrinter> ConfiguredPrinter(const QPrinterInfo& info, const std::optional<TDeviceMode>& mode)
{
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (mode)
        ApplyDeviceMode(*printer, *mode);
    return printer;
}
}  // namespace

TPrinterList TQtPrinterBackend::EnumeratePrinters()
{
    TPrinterList list;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        if (info.printerName() == defaultName)
            list.DefaultIndex = static_cast<int>(list.Printers.size());
        list.Printers.push_back(
            {info.printerName().toStdString(), info.makeAndModel().toStdString(), info.location().toStdString()});
    }
    return list;
}

std::optional<TDeviceMode> TQtPrinterBackend::DefaultDeviceMode(const TPrinterInfo& printer)
{
    const QPrinterInfo info = FindPrinter(printer);
    if (info.isNull())
        return std::nullopt;
    return DeviceModeOf(*ConfiguredPrinter(info, std::nullopt), info);
}

std::optional<TPrinterCapabilities> TQtPrinterBackend::Capabilities(const TPrinterInfo& printer,
                                                                    const std::optional<TDeviceMode>& mode)
{
    const QPrinterInfo info = FindPrinter(printer);
    if (info.isNull())
        return std::nullopt;
    const auto configured = ConfiguredPrinter(info, mode);
    const int resolution = configured->resolution();
    const QPageLayout layout = configured->pageLayout();
    const QRect sheet = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);

    TPrinterCapabilities capabilities;
    capabilities.PixelsPerInchX = resolution;
    capabilities.PixelsPerInchY = resolution;
    capabilities.Printable = {printable.width(), printable.height()};
    capabilities.PhysicalPage = TPixelSize {sheet.width(), sheet.height()};
    capabilities.PrintingOffset = TPixelOffset {printable.left(), printable.top()};
    for (const QPageSize& size : info.supportedPageSizes()) {
        const auto code = static_cast<std::int16_t>(size.windowsId());
        auto& codes = capabilities.PaperCodes;
        if (std::find(codes.begin(), codes.end(), code) == codes.end())
            codes.push_back(code);
    }
    return capabilities;
}

std::unique_ptr<TPrintJob> TQtPrinterBackend::StartJob(const TPrinterInfo& printer,
                                                       const std::optional<TDeviceMode>& mode, const std::string& title)
{
    const QPrinterInfo info = FindPrinter(printer);
    if (info.isNull())
        return nullptr;
    return StartCupsJob(info, mode, title);
}

}  // namespace qrp
