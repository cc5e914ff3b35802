#include "report/qr_printer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/canvas/metafile_canvas.h"
#include "platform/canvas/screen_resolution.h"
#include "platform/messages/application.h"
#include "platform/printing/printer.h"
#include "platform/rounding.h"
#include "printing/printer_settings.h"
#include "report/qr_export_filter.h"
#include "report/qr_preview_interface.h"

namespace qrp {

namespace {
constexpr long double kTenthsOfMmPerInch = 254.0L;
constexpr std::int32_t kMemoryLimit = TQRStream::kDefaultSpillLimit;

std::int32_t ToPixels(long double value) { return static_cast<std::int32_t>(Round(value)); }

std::int32_t TableTenths(long double millimetres) { return static_cast<std::int32_t>(Round(millimetres * 10)); }
}  // namespace

TQRPrinter::TQRPrinter()
    : Printer(std::make_unique<TPrinter>()), PrinterSettings(std::make_unique<TPrinterSettings>()),
      DocumentPages(std::make_unique<TQRPageList>())
{
    HasPrinter = Printer->PrinterCount() > 0;
    if (HasPrinter) {
        PrinterSettings->SetBoundPrinter(Printer.get());
        const int selected = ApplicationPrinter().PrinterIndex();
        if (selected >= 0 && selected < Printer->PrinterCount()) {
            Printer->SetPrinterIndex(selected);
            UseApplicationPort();
            PrinterSettings->ReadPrinterSettings();
        }
    }
    UnprintableTop = PrinterSettings->PrintOffsetTop();
    UnprintableLeft = PrinterSettings->PrintOffsetLeft();
}

TQRPrinter::~TQRPrinter()
{
    // A default preview window must not outlive the document it shows.
    delete DefaultPreviewWindow.data();
    if (DocState != rpsReady)
        DropDocument();
}

void TQRPrinter::UseScreenScale()
{
    ScaleX = ScaleY = ScreenPixelsPerInch() / kTenthsOfMmPerInch;
}

std::int32_t TQRPrinter::ToDeviceX(long double x) const { return ToPixels((x - UnprintableLeft) * ScaleX); }
std::int32_t TQRPrinter::ToDeviceY(long double y) const { return ToPixels((y - UnprintableTop) * ScaleY); }
std::int32_t TQRPrinter::ToDeviceDX(long double x) const { return ToPixels(x * ScaleX); }
std::int32_t TQRPrinter::ToDeviceDY(long double y) const { return ToPixels(y * ScaleY); }

std::int32_t TQRPrinter::PageWidth() const
{
    const TQRPaperSize size = PaperSize();
    const bool portrait = Orientation() == poPortrait;
    if (size == TQRPaperSize::Custom || size == TQRPaperSize::Default)
        // The device's default paper is turned for landscape; a custom one is used as it stands.
        return portrait || size == TQRPaperSize::Custom ? SheetWidth() : SheetLength();
    const TPaperDimensions& paper = PaperDimensions(size);
    return TableTenths(portrait ? paper.Width : paper.Length);
}

std::int32_t TQRPrinter::PageLength() const
{
    const TQRPaperSize size = PaperSize();
    const bool portrait = Orientation() == poPortrait;
    if (size == TQRPaperSize::Custom || size == TQRPaperSize::Default)
        return portrait || size == TQRPaperSize::Custom ? SheetLength() : SheetWidth();
    const TPaperDimensions& paper = PaperDimensions(size);
    return TableTenths(portrait ? paper.Length : paper.Width);
}

void TQRPrinter::StartDocument()
{
    if (DocState != rpsReady)
        throw EQRError("QRPrinter not ready");
    Recording.reset();
    Canvas = nullptr;
    PagesReadyCount = 0;
    CancelRequested = false;
    if (PageTarget == rdPrinter && HasPrinter)
        PrinterSettings->WriteDeviceMode();
    UnprintableTop = PageTarget == rdPrinter ? PrinterSettings->PrintOffsetTop() : 0;
    UnprintableLeft = PageTarget == rdPrinter ? PrinterSettings->PrintOffsetLeft() : 0;
    CurrentPage = 0;
    PageTotal = 0;
    DocState = rpsBusy;
    if (PageTarget == rdRecord) {
        DocumentPages->ResetCount();
        DocumentPages->AttachStream(std::make_unique<TQRStream>(kMemoryLimit));
        UseScreenScale();
    } else {
        UsePrinterScale();
    }
}

void TQRPrinter::UsePrinterScale()
{
    ScaleX = (HasPrinter ? Printer->PixelsPerInchX() : PrinterSettings->DpiX()) / kTenthsOfMmPerInch;
    ScaleY = (HasPrinter ? Printer->PixelsPerInchY() : PrinterSettings->DpiY()) / kTenthsOfMmPerInch;
}

bool TQRPrinter::PageInRange() const
{
    return !((FirstPage > 0 && PageTotal < FirstPage) || (LastPage > 0 && PageTotal > LastPage));
}

void TQRPrinter::StartRecordedPage()
{
    Recording = std::make_unique<TMetafileCanvas>(ToDeviceDX(PageWidth()), ToDeviceDY(PageLength()),
                                                  ScreenPixelsPerInch());
    Canvas = Recording.get();
    UseScreenScale();
}

void TQRPrinter::StoreRecordedPage()
{
    if (!Recording)
        return;
    // The canvas is gone before the page is stored, so a failed store leaves none half-open.
    const std::unique_ptr<TMetafileCanvas> finished = std::move(Recording);
    Canvas = nullptr;
    DocumentPages->AddPage(finished->Finish());
}

void TQRPrinter::NewPage()
{
    if (DocState != rpsBusy)
        throw EQRError("Illegal call to NewPage");
    if (CurrentPage > 0) {
        if (PageTarget == rdRecord)
            StoreRecordedPage();
        else if (PageInRange())
            EndPrinterPage();
        else
            Recording.reset();  // a page outside the range to print was drawn into a throwaway recording
        SetPagesReady(PagesReadyCount + 1);
    }
    ++PageTotal;
    ++CurrentPage;
    if (PageTarget == rdPrinter && PageInRange())
        StartPrinterPage();
    else
        StartRecordedPage();
}

void TQRPrinter::StartPrinterPage()
{
    Recording.reset();
    if (!Printer->Printing()) {
        Printer->Title = JobTitle;
        Printer->BeginDoc();
    }
    // The canvas applies pen, brush and font with every drawing, so a page
    // begun by EndPrinterPage needs nothing selected afresh.
    Canvas = &Printer->Canvas();
    UsePrinterScale();
}

void TQRPrinter::EndPrinterPage()
{
    // The last page of the range is closed by the end of the document, so no blank sheet follows it.
    if (Printer->Printing() && PageTotal != LastPage)
        Printer->NewPage();
}

void TQRPrinter::FinishDocument()
{
    if (DocState != rpsBusy)
        return;
    if (PageTarget == rdRecord && PageTotal > 0)
        StoreRecordedPage();
    Recording.reset();
    Canvas = nullptr;
    if (PageTarget == rdPrinter && Printer->Printing())
        Printer->EndDoc();
    SetPagesReady(PagesReadyCount + 1);
    DocState = rpsFinished;
    if (PageTarget == rdRecord)
        DocumentPages->Finish();
    else if (AfterPrintHandler)
        AfterPrintHandler(this);
}

void TQRPrinter::AbortDocument()
{
    // The pages already spooled are discarded with the job.
    if (PageTarget == rdPrinter && Printer->Printing())
        Printer->Abort();
    if (PageTarget == rdRecord)
        StoreRecordedPage();
    Recording.reset();
    Canvas = nullptr;
    DocState = rpsFinished;
}

void TQRPrinter::DropDocument()
{
    if (DocState == rpsBusy)
        RequestCancel();
    Recording.reset();
    Canvas = nullptr;
    DocumentPages->DetachStream();
    DocumentPages->ResetCount();
    DocState = rpsReady;
}

void TQRPrinter::Load(const std::string& fileName)
{
    if (DocState != rpsReady)
        DropDocument();
    DocumentPages = std::make_unique<TQRPageList>();
    PageTotal = 0;
    PaperMatched = false;
    DocumentPages->AttachFile(fileName);
    try {
        PageTotal = DocumentPages->PageTotal();
        UseScreenScale();
        if (PageTotal > 0)
            DetectPaper(*DocumentPages->GetPage(1));
    } catch (...) {
        // A file whose first page cannot be read is no document: nothing stays held or open.
        DocumentPages->DetachStream();
        DocumentPages->ResetCount();
        PageTotal = 0;
        throw;
    }
    DocState = rpsFinished;
    PrintSetupHandler = nullptr;
    ExportHandler = nullptr;
    FromFile = true;
}

void TQRPrinter::DetectPaper(const TMetafile& firstPage)
{
    // The page size in whole units of 4 mm, truncated, against every table row.
    const auto units = [this](int pixels) { return static_cast<int>(Trunc(pixels / ScaleX / 40)); };
    const int w = units(firstPage.Width(ScreenPixelsPerInch()));
    const int h = units(firstPage.Height(ScreenPixelsPerInch()));
    const auto rowUnits = [](TQRPaperSize size) {
        const TPaperDimensions& paper = PaperDimensions(size);
        return std::pair {static_cast<int>(Trunc(paper.Width / 4)), static_cast<int>(Trunc(paper.Length / 4))};
    };
    constexpr int kFirstRow = 1, kLastRow = 26;
    bool matched = false;
    // No early exit: the last row the printer accepts wins, landscape after portrait.
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        const auto [rowW, rowL] = rowUnits(PaperSizeAt(i));
        // A row counts as recognised only when the printer takes its paper.
        if (w == rowW && h == rowL) {
            SetPaperSize(PaperSizeAt(i));
            SetOrientation(poPortrait);
            matched = matched || PaperSize() == PaperSizeAt(i);
        }
        if (h == rowW && w == rowL) {
            SetPaperSize(PaperSizeAt(i));
            SetOrientation(poLandscape);
            matched = matched || PaperSize() == PaperSizeAt(i);
        }
    }
    PaperMatched = matched;
    if (matched)
        return;
    // A page recorded from pixels can land one unit short of its row (A3 portrait
    // is 1123 × 1587 pixels: 74 × 104 units against the row's 74 × 105). Then the
    // row within one unit in both directions wins, nearest first, portrait before
    // landscape, the first one the printer accepts.
    struct TCandidate {
        int Distance;
        int Order;
        TQRPaperSize Size;
        TPrinterOrientation Orientation;
    };
    std::vector<TCandidate> candidates;
    for (int i = kFirstRow; i <= kLastRow; ++i) {
        const auto [rowW, rowL] = rowUnits(PaperSizeAt(i));
        if (std::abs(w - rowW) <= 1 && std::abs(h - rowL) <= 1)
            candidates.push_back({std::abs(w - rowW) + std::abs(h - rowL), 2 * i, PaperSizeAt(i), poPortrait});
        if (std::abs(h - rowW) <= 1 && std::abs(w - rowL) <= 1)
            candidates.push_back({std::abs(h - rowW) + std::abs(w - rowL), 2 * i + 1, PaperSizeAt(i), poLandscape});
    }
    std::sort(candidates.begin(), candidates.end(), [](const TCandidate& a, const TCandidate& b) {
        return a.Distance != b.Distance ? a.Distance < b.Distance : a.Order < b.Order;
    });
    for (const TCandidate& candidate : candidates) {
        SetPaperSize(candidate.Size);
        if (PaperSize() != candidate.Size)
            continue;
        SetOrientation(candidate.Orientation);
        PaperMatched = true;
        return;
    }
}

void TQRPrinter::Save(const std::string& fileName)
{
    if (DocState != rpsFinished || !DocumentPages->PageStream())
        return;
    DocumentPages->WriteToFile(fileName);
}

std::unique_ptr<TMetafile> TQRPrinter::GetPage(std::int32_t pageNumber)
{
    if ((DocState != rpsBusy && DocState != rpsFinished) || pageNumber < 1 || pageNumber > PageTotal)
        return nullptr;
    return DocumentPages->GetPage(pageNumber);
}

void TQRPrinter::Preview()
{
    if (PreviewHandler) {
        PreviewHandler(this);
        return;
    }
    // The interface object only lives for the call that opens the preview.
    const std::unique_ptr<TQRPreviewInterface> previewInterface =
        DefaultPreviewInterface ? DefaultPreviewInterface() : nullptr;
    if (previewInterface)
        DefaultPreviewWindow = previewInterface->OpenPreview(*this);
}

void TQRPrinter::SetPreviewOpen(bool open)
{
    if (PreviewIsOpen && !open) {
        if (DocState == rpsBusy)
            RequestCancel();
        PreviewIsOpen = false;
        if (AfterPreviewHandler)
            AfterPreviewHandler(this);
        return;
    }
    PreviewIsOpen = open;
}

void TQRPrinter::SignalPreviewClosed()
{
    // Sent: the master may free this printer while handling it, so nothing follows.
    SendMessage(MasterWindow, RPM_PREVIEWCLOSED, 0, reinterpret_cast<std::intptr_t>(this));
}

void TQRPrinter::Print()
{
    if (MasterWindow && !FromFile) {
        // A generated document is printed by generating it again onto the printer.
        PostMessage(MasterWindow, RPM_PRINTREQUEST, 0, 0);
        return;
    }
    if (DocState == rpsFinished && HasPrinter)
        PrintHeldPages();
}

std::pair<std::int32_t, std::int32_t> TQRPrinter::PrintRange() const
{
    // An end of 0 or less is open, and the range stays within the document.
    const std::int32_t first = FirstPage > 0 ? FirstPage : 1;
    const std::int32_t last = LastPage > 0 ? std::min(LastPage, PageTotal) : PageTotal;
    return {first, last};
}

void TQRPrinter::PrintHeldPages()
{
    Printer->Title = JobTitle;
    if (Printer->Printing())
        Printer->Abort();
    PrinterSettings->WriteDeviceMode();
    const auto [first, last] = PrintRange();
    // A range without pages opens no job: it would only bring a blank sheet.
    if (first > last)
        return;
    // A cancel left over from before is not this job's.
    CancelRequested = false;
    Printer->BeginDoc();
    try {
        for (std::int32_t page = first; page <= last; ++page) {
            // The windows stay usable between pages; a cancel or a quit request stops the job.
            Application::ProcessMessages();
            if (CancelRequested || Application::Terminated()) {
                Printer->Abort();
                return;
            }
            // The whole recorded page, paper edge to paper edge, into the printable area.
            if (const std::unique_ptr<TMetafile> recording = GetPage(page))
                Printer->Canvas().StretchDraw(TRect {0, 0, Printer->PageWidth(), Printer->PageHeight()}, *recording);
            if (page != last)
                Printer->NewPage();
            SetProgress(static_cast<std::int32_t>((static_cast<std::int64_t>(page - first + 1) * 100) /
                                                  (static_cast<std::int64_t>(last) - first + 1)));
        }
    } catch (...) {
        // A job that failed half-way is dropped, not sent half-done.
        if (Printer->Printing())
            Printer->Abort();
        throw;
    }
    Printer->EndDoc();
}

void TQRPrinter::PrintSetup(void* sender)
{
    if (PrintSetupHandler)
        PrintSetupHandler(sender);
}

void TQRPrinter::ExportToFilter(TQRExportFilter& filter)
{
    if (ExportHandler) {
        ExportHandler(filter);
        return;
    }
    // Doing nothing here would report an export that never happened as done.
    if (DocState != rpsFinished)
        throw EQRError("There is no finished report to export");
    filter.Start(JobTitle, PageTotal);
    for (std::int32_t page = 1; page <= PageTotal; ++page) {
        const std::unique_ptr<TMetafile> recording = GetPage(page);
        if (!recording)
            throw EQRError("Page " + std::to_string(page) + " of the report is missing");
        filter.WritePage(*recording, page);
    }
    filter.Finish();
}

void TQRPrinter::SetPagesReady(std::int32_t pages)
{
    PagesReadyCount = pages;
    PostMessage(ClientWindow, RPM_PAGEAVAILABLE, pages, 0);
}

void TQRPrinter::SetProgress(std::int32_t percent)
{
    ProgressPercent = percent;
    PostMessage(ClientWindow, RPM_PROGRESS, percent, 0);
}

void TQRPrinter::SetPrinterPosition(int index)
{
    if (!HasPrinter)
        return;
    Printer->SetPrinterIndex(index);
    ReselectDefaults(*Printer);
    UseApplicationPort();
    PrinterSettings->ReadPrinterSettings();
}

void TQRPrinter::UseApplicationPort()
{
    // The port the print dialog gave the application's printer (the file the
    // PDF file printer writes) is this printer's too.
    const TPrinter& application = ApplicationPrinter();
    const int index = Printer->PrinterIndex();
    if (index < 0 || index >= application.PrinterCount())
        return;
    const TPrinterInfo& chosen = application.Printers()[static_cast<std::size_t>(index)];
    const TPrinterSelection own = Printer->GetPrinter();
    if (chosen.Device == own.Device && !chosen.Port.empty() && chosen.Port != own.Port)
        Printer->SetPrinter(own.Device, own.Driver, chosen.Port, own.DeviceMode);
}

TQRPaperSize TQRPrinter::PaperSize() const { return PrinterSettings->PaperSize(); }
void TQRPrinter::SetPaperSize(TQRPaperSize size) { PrinterSettings->SetPaperSize(size); }
TPrinterOrientation TQRPrinter::Orientation() const { return PrinterSettings->Orientation(); }
void TQRPrinter::SetOrientation(TPrinterOrientation orientation) { PrinterSettings->SetOrientation(orientation); }
std::int32_t TQRPrinter::SheetWidth() const { return PrinterSettings->SheetWidth(); }
std::int32_t TQRPrinter::SheetLength() const { return PrinterSettings->SheetLength(); }
void TQRPrinter::SetSheetWidth(std::int32_t width) { PrinterSettings->SetPaperWidth(width); }
void TQRPrinter::SetSheetLength(std::int32_t length) { PrinterSettings->SetPaperLength(length); }
void TQRPrinter::SetCopies(int copies) { PrinterSettings->SetCopies(copies); }
void TQRPrinter::SetOutputBin(TQRBin bin) { PrinterSettings->SetOutputBin(bin); }

}  // namespace qrp
