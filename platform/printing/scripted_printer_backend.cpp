#include "platform/printing/scripted_printer_backend.h"

#include <algorithm>

#include <QPainter>

namespace qrp {

namespace {
// A page recording that reports the scripted device's resolution and size,
// so that fonts and canvases measure as they would on the device.
class TScriptedPage : public QPicture {
public:
    explicit TScriptedPage(const TPrinterCapabilities& device) : Device(device) {}

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmPhysicalDpiX: return Device.PixelsPerInchX;
        case PdmDpiY:
        case PdmPhysicalDpiY: return Device.PixelsPerInchY;
        case PdmWidth: return Device.Printable.Width;
        case PdmHeight: return Device.Printable.Height;
        case PdmWidthMM: return Device.Printable.Width * 254 / (std::max(Device.PixelsPerInchX, 1) * 10);
        case PdmHeightMM: return Device.Printable.Height * 254 / (std::max(Device.PixelsPerInchY, 1) * 10);
        default: return QPicture::metric(metric);
        }
    }

private:
    TPrinterCapabilities Device;
};

class TScriptedJob : public TPrintJob {
public:
    TScriptedJob(const TPrinterCapabilities& device, std::shared_ptr<TScriptedDocument> document)
        : Device(device), Document(std::move(document))
    {
        BeginPage();
    }
    ~TScriptedJob() override
    {
        if (Painter.isActive())
            Painter.end();
    }

    QPainter& PagePainter() override { return Painter; }
    void NewPage() override
    {
        FinishPage();
        BeginPage();
    }
    void End() override
    {
        FinishPage();
        Document->Ended = true;
    }
    void Abort() override
    {
        Painter.end();
        Document->Aborted = true;
    }

private:
    void BeginPage()
    {
        Page = std::make_unique<TScriptedPage>(Device);
        Painter.begin(Page.get());
    }
    void FinishPage()
    {
        Painter.end();
        Document->Pages.push_back(*Page);
    }

    TPrinterCapabilities Device;
    std::shared_ptr<TScriptedDocument> Document;
    std::unique_ptr<TScriptedPage> Page;
    QPainter Painter;
};
}  // namespace

TScriptedPrinterBackend::TScriptedPrinterBackend(std::vector<TScriptedPrinter> printers, int defaultIndex)
    : Printers(std::move(printers)), DefaultIndex(defaultIndex)
{
}

const TScriptedPrinter* TScriptedPrinterBackend::Find(const TPrinterInfo& printer) const
{
    const auto found = std::find_if(Printers.begin(), Printers.end(),
                                    [&](const TScriptedPrinter& p) { return p.Info.Device == printer.Device; });
    return found == Printers.end() ? nullptr : &*found;
}

TPrinterList TScriptedPrinterBackend::EnumeratePrinters()
{
    TPrinterList list;
    for (const TScriptedPrinter& printer : Printers)
        list.Printers.push_back(printer.Info);
    list.DefaultIndex = DefaultIndex;
    return list;
}

std::optional<TDeviceMode> TScriptedPrinterBackend::DefaultDeviceMode(const TPrinterInfo& printer)
{
    const TScriptedPrinter* found = Find(printer);
    return found ? found->DefaultMode : std::nullopt;
}

std::optional<TPrinterCapabilities> TScriptedPrinterBackend::Capabilities(const TPrinterInfo& printer,
                                                                          const std::optional<TDeviceMode>&)
{
    const TScriptedPrinter* found = Find(printer);
    return found ? std::optional(found->Capabilities) : std::nullopt;
}

std::unique_ptr<TPrintJob> TScriptedPrinterBackend::StartJob(const TPrinterInfo& printer,
                                                             const std::optional<TDeviceMode>& mode,
                                                             const std::string& title)
{
    const TScriptedPrinter* found = Find(printer);
    if (!found)
        return nullptr;
    auto document = std::make_shared<TScriptedDocument>();
    document->Device = printer.Device;
    document->Title = title;
    document->Mode = mode;
    Started.push_back(document);
    return std::make_unique<TScriptedJob>(found->Capabilities, document);
}

}  // namespace qrp
