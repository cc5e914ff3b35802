#include "platform/printing/qt_printer_backend.h"

#include <algorithm>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/printing/qt_device_mode.h"
#include "platform/printing/qt_print_job.h"

namespace qrp {

namespace {
bool IsPdfFilePrinter(const TPrinterInfo& printer) { return printer.Device == kPdfFilePrinter; }

QPrinterInfo FindPrinter(const TPrinterInfo& printer)
{
    return QPrinterInfo::printerInfo(QString::fromStdString(printer.Device));
}

// The paper codes of every size Qt knows by a Windows paper code.
std::vector<std::int16_t> EveryPaperCode()
{
    std::vector<std::int16_t> codes;
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const int code = QPageSize::windowsId(static_cast<QPageSize::PageSizeId>(id));
        if (code > 0 && code < 256 && std::find(codes.begin(), codes.end(), code) == codes.end())
            codes.push_back(static_cast<std::int16_t>(code));
    }
    return codes;
}
}  // namespace

std::unique_ptr<QPrinter> ConfiguredPrinter(const TPrinterInfo& printer, const std::optional<TDeviceMode>& mode)
{
    std::unique_ptr<QPrinter> configured;
    if (IsPdfFilePrinter(printer)) {
        configured = std::make_unique<QPrinter>(QPrinter::HighResolution);
        configured->setOutputFormat(QPrinter::PdfFormat);
        configured->setOutputFileName(QString::fromStdString(printer.Port));
    } else {
        const QPrinterInfo info = FindPrinter(printer);
        if (info.isNull())
            return nullptr;
        configured = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    if (mode)
        ApplyDeviceMode(*configured, *mode);
    return configured;
}

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
    // Last, so that the queues keep their places; the default only when there is no queue.
    if (list.Printers.empty())
        list.DefaultIndex = 0;
    list.Printers.push_back({kPdfFilePrinter, "PDF", ""});
    return list;
}

std::optional<TDeviceMode> TQtPrinterBackend::DefaultDeviceMode(const TPrinterInfo& printer)
{
    const auto configured = ConfiguredPrinter(printer, std::nullopt);
    if (!configured)
        return std::nullopt;
    return DeviceModeOf(*configured, IsPdfFilePrinter(printer) ? QPrinterInfo() : FindPrinter(printer));
}

std::optional<TPrinterCapabilities> TQtPrinterBackend::Capabilities(const TPrinterInfo& printer,
                                                                    const std::optional<TDeviceMode>& mode)
{
    const auto configured = ConfiguredPrinter(printer, mode);
    if (!configured)
        return std::nullopt;
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
    if (IsPdfFilePrinter(printer)) {
        capabilities.PaperCodes = EveryPaperCode();
        return capabilities;
    }
    for (const QPageSize& size : FindPrinter(printer).supportedPageSizes()) {
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
    if (IsPdfFilePrinter(printer))
        return StartPdfFileJob(printer.Port, mode, title);
    const QPrinterInfo info = FindPrinter(printer);
    if (info.isNull())
        return nullptr;
    return StartCupsJob(info, mode, title);
}

}  // namespace qrp
