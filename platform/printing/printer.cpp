#include "platform/printing/printer.h"

#include <algorithm>
#include <limits>

#include <QPaintDevice>
#include <QPainter>

#include "platform/canvas/painter_canvas.h"
#include "platform/printing/printer_error.h"

namespace qrp {

// Draws on the job's current page. Each page's painter starts afresh (some
// back ends give every page a painter of its own), so it gets the canvas's
// clip and drawing hints again; pen, brush and font go with every drawing.
class TPrinter::TPrinterCanvas : public TPainterCanvas {
public:
    explicit TPrinterCanvas(TPrintJob& job)
        : TPainterCanvas(job.PagePainter().device()->logicalDpiY()), PrintJob(job)
    {
        PageBegun();
    }
    void PageBegun() { PainterBegun(PrintJob.PagePainter()); }

protected:
    QPainter& ActivePainter() override { return PrintJob.PagePainter(); }

private:
    TPrintJob& PrintJob;
};

TPrinter::TPrinter() : TPrinter(PrinterBackend()) {}

TPrinter::TPrinter(std::shared_ptr<TPrinterBackend> backend) : Backend(std::move(backend))
{
    if (!Backend)
        throw EPrinter(kInvalidPrinter);
    TPrinterList printers = Backend->EnumeratePrinters();
    List = std::move(printers.Printers);
    DefaultIndex = printers.DefaultIndex >= 0 && printers.DefaultIndex < PrinterCount() ? printers.DefaultIndex : 0;
    if (!List.empty())
        Select(DefaultIndex, std::nullopt);
}

TPrinter::~TPrinter()
{
    if (!Job)
        return;
    try {
        FinishJob(true);
    } catch (...) {
        // Nothing more can be done for a document nobody will finish.
    }
}

void TPrinter::SetPrinterIndex(int index)
{
    CheckNotPrinting();
    if (index < -1 || index >= PrinterCount())
        throw EPrinter(kPrinterIndexOutOfRange);
    if (List.empty())
        return;
    Select(index == -1 ? DefaultIndex : index, std::nullopt);
}

TPrinterSelection TPrinter::GetPrinter() const
{
    const TPrinterInfo& printer = Selected();
    return {printer.Device, printer.Driver, printer.Port, Mode};
}

void TPrinter::SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                          std::optional<TDeviceMode> deviceMode)
{
    CheckNotPrinting();
    if (device.empty())
        throw EPrinter(kInvalidPrinter);
    const auto found =
        std::find_if(List.begin(), List.end(), [&](const TPrinterInfo& p) { return p.Device == device; });
    const int index = static_cast<int>(found - List.begin());
    if (found == List.end()) {
        List.push_back({device, driver, port});
    } else {
        // A known printer keeps its driver and port unless new ones are given
        // (a file printer's port is the file it writes).
        if (!driver.empty())
            found->Driver = driver;
        if (!port.empty())
            found->Port = port;
    }
    Select(index, std::move(deviceMode));
}

void TPrinter::Select(int index, std::optional<TDeviceMode> deviceMode)
{
    Index = index;
    Mode = deviceMode ? std::move(deviceMode) : Backend->DefaultDeviceMode(List[static_cast<std::size_t>(index)]);
    CachedCapabilities.reset();
}

const TPrinterInfo& TPrinter::Selected() const
{
    if (Index < 0)
        throw EPrinter(kInvalidPrinter);
    return List[static_cast<std::size_t>(Index)];
}

const TDeviceMode& TPrinter::RequiredMode() const
{
    if (!Mode)
        throw EPrinter(kPrinterOperationNotSupported);
    return *Mode;
}

std::int16_t TPrinter::Orientation() const
{
    return RequiredMode().Orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

void TPrinter::SetOrientation(std::int16_t orientation)
{
    CheckNotPrinting();
    RequiredMode();
    if (orientation != DMORIENT_PORTRAIT && orientation != DMORIENT_LANDSCAPE)
        throw EPrinter(kPrinterOperationNotSupported);
    Mode->Fields |= DM_ORIENTATION;
    Mode->Orientation = orientation;
    CachedCapabilities.reset();
}

int TPrinter::Copies() const { return RequiredMode().Copies; }

void TPrinter::SetCopies(int copies)
{
    CheckNotPrinting();
    RequiredMode();
    if (copies < 1 || copies > std::numeric_limits<std::int16_t>::max())
        throw EPrinter(kPrinterOperationNotSupported);
    Mode->Fields |= DM_COPIES;
    Mode->Copies = static_cast<std::int16_t>(copies);
}

const TPrinterCapabilities& TPrinter::Capabilities()
{
    if (!CachedCapabilities) {
        auto capabilities = Backend->Capabilities(Selected(), Mode);
        // A device without a resolution or with a negative page cannot be
        // drawn on or measured.
        if (!capabilities || capabilities->PixelsPerInchX <= 0 || capabilities->PixelsPerInchY <= 0 ||
            capabilities->Printable.Width < 0 || capabilities->Printable.Height < 0)
            throw EPrinter(kInvalidPrinter);
        CachedCapabilities = std::move(capabilities);
    }
    return *CachedCapabilities;
}

int TPrinter::PixelsPerInchX() { return Capabilities().PixelsPerInchX; }
int TPrinter::PixelsPerInchY() { return Capabilities().PixelsPerInchY; }
int TPrinter::PageWidth() { return Capabilities().Printable.Width; }
int TPrinter::PageHeight() { return Capabilities().Printable.Height; }
std::optional<TPixelSize> TPrinter::PhysicalPageSize() { return Capabilities().PhysicalPage; }
std::optional<TPixelOffset> TPrinter::PrintingOffset() { return Capabilities().PrintingOffset; }
const std::vector<std::int16_t>& TPrinter::PaperCodes() { return Capabilities().PaperCodes; }

void TPrinter::CheckNotPrinting() const
{
    if (Job)
        throw EPrinter(kPrintingInProgress);
}

void TPrinter::CheckPrinting() const
{
    if (!Job)
        throw EPrinter(kPrintingNotInProgress);
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting();
    Capabilities();  // a device that cannot be drawn on fails here
    auto job = Backend->StartJob(Selected(), Mode, Title);
    if (!job)
        throw EPrinter(kInvalidPrinter);
    JobCanvas = std::make_unique<TPrinterCanvas>(*job);
    Job = std::move(job);
    WasAborted = false;
}

void TPrinter::NewPage()
{
    CheckPrinting();
    Job->NewPage();
    JobCanvas->PageBegun();
}

void TPrinter::EndDoc()
{
    CheckPrinting();
    FinishJob(false);
}

void TPrinter::Abort()
{
    CheckPrinting();
    FinishJob(true);
}

// The printer is ready for the next document even when the back end fails
// to finish this one.
void TPrinter::FinishJob(bool abort)
{
    JobCanvas.reset();
    const std::unique_ptr<TPrintJob> job = std::move(Job);
    WasAborted = abort;
    if (abort)
        job->Abort();
    else
        job->End();
}

QPainter* TPrinter::Painter() { return Job ? &Job->PagePainter() : nullptr; }

TCanvas& TPrinter::Canvas()
{
    CheckPrinting();
    return *JobCanvas;
}

TPrinter& ApplicationPrinter()
{
    static std::shared_ptr<TPrinterBackend> backend;
    static std::unique_ptr<TPrinter> printer;
    // A newly installed back end brings a printer object of its own.
    if (!printer || backend != PrinterBackend()) {
        backend = PrinterBackend();
        printer = std::make_unique<TPrinter>(backend);
    }
    return *printer;
}

void ReselectDefaults(TPrinter& printer)
{
    const TPrinterSelection selected = printer.GetPrinter();
    printer.SetPrinter(selected.Device, selected.Driver, selected.Port, std::nullopt);
}

}  // namespace qrp
