#include "component/qr_report.h"

#include <algorithm>

#include "platform/messages/application.h"
#include "platform/printing/printer.h"
#include "platform/rounding.h"
#include "printing/qr_print_dialog.h"
#include "printing/qr_progress_form.h"

namespace qrp {

TQRReport::TQRReport() { Page.SetOwnerReport(this); }

void TQRReport::SetPixelSize(int width, int height)
{
    PixelWidth = width;
    PixelHeight = height;
}

TQRReport::~TQRReport() = default;

bool TQRReport::CreatePrinter()
{
    if (!Idle)
        return false;
    TMessageTarget* client = Printer ? Printer->ClientWindow : nullptr;
    // The report printer it replaces is gone with it: nothing else refers to it
    // once a new preview or print starts.
    Printer = std::make_unique<TQRPrinter>();
    Printer->ClientWindow = client;
    Printer->AfterPreviewHandler = [this](TQRPrinter*) {
        if (AfterPreview)
            AfterPreview(this);
    };
    Printer->AfterPrintHandler = [this](TQRPrinter*) {
        if (AfterPrint)
            AfterPrint(this);
    };
    return true;
}

void TQRReport::PreviewModal()
{
    Application::ProcessMessages();
    if (!CreatePrinter())
        return;
    Printer->PageTarget = rdRecord;
    Printer->MasterWindow = this;
    Printer->JobTitle = ReportTitle;
    if (OnPreview)
        Printer->PreviewHandler = OnPreview;
    Printer->Preview();
    CreateReport();
    if (CancelRequested) {
        Printer.reset();
        return;
    }
    // The program's only message loop: it ends when the preview is closed (the
    // viewer asks this component to drop the printer) or on a quit request. The
    // conditions are tested before waiting, so a preview that never opened
    // cannot leave the loop waiting for a message that will not come.
    while (Printer && Printer->PreviewOpen() && !Application::Terminated())
        Application::HandleMessage();
}

void TQRReport::SetPrinterValues()
{
    TQRPrinter& printer = *Printer;
    if (printer.HasPrinter)
        printer.SetPrinterPosition(PrinterSettings.PrinterPosition);
    printer.SetPaperSize(Page.PaperSize());
    if (printer.PaperSize() == TQRPaperSize::Custom) {
        printer.SetSheetWidth(static_cast<std::int32_t>(Round(Page.Width())));
        printer.SetSheetLength(static_cast<std::int32_t>(Round(Page.Length())));
    }
    printer.SetOrientation(Page.Orientation());
    printer.SetCopies(PrinterSettings.Copies);
    printer.SetOutputBin(PrinterSettings.OutputBin);
    printer.FirstPage = PrinterSettings.FirstPage;
    printer.LastPage = PrinterSettings.LastPage;
}

void TQRReport::CreateReport()
{
    if (!Idle || !Printer)
        return;
    // A page narrower or shorter than its margins loses those margins.
    if (Page.Width() - Page.LeftMargin() - Page.RightMargin() < 0) {
        Page.SetLeftMargin(0);
        Page.SetRightMargin(0);
    }
    if (Page.Length() - Page.TopMargin() - Page.BottomMargin() < 0) {
        Page.SetTopMargin(0);
        Page.SetBottomMargin(0);
    }
    Idle = false;
    CancelRequested = false;
    bool print = true;
    if (BeforePrint)
        BeforePrint(this, print);
    if (print) {
        const TQRUnit units = Page.Units();
        Page.SetUnits(TQRUnit::Native);
        try {
            SetPrinterValues();
            Printer->JobTitle = ReportTitle;
            Printer->SetCompression((Options & Compression) != 0);
            Printer->StartDocument();
            PrintBands();
            // A cancel asked of the printer (its preview closing, the progress window) ends the generation.
            if (Printer->CancelRequested)
                CancelRequested = true;
            Page.SetUnits(units);
        } catch (...) {
            Page.SetUnits(units);
            if (Printer->DocState == rpsBusy)
                CancelRequested ? Printer->AbortDocument() : Printer->FinishDocument();
            throw;
        }
        if (CancelRequested)
            Printer->AbortDocument();
        else
            Printer->FinishDocument();
    }
    Idle = true;
}

void TQRReport::Print()
{
    std::unique_ptr<TQRPrinter> previous = std::move(Printer);
    if (!Idle) {
        Printer = std::move(previous);
        return;
    }
    CreatePrinter();
    std::unique_ptr<TQRProgressForm> progress;
    // The printer of the preview is current again afterwards, whatever happens.
    struct TRestore {
        TQRReport& Report;
        std::unique_ptr<TQRPrinter>& Previous;
        std::unique_ptr<TQRProgressForm>& Progress;
        ~TRestore()
        {
            Report.Printer = std::move(Previous);
            Progress.reset();
        }
    } restore {*this, previous, progress};
    if (!Printer->HasPrinter)
        return;
    Printer->PageTarget = rdPrinter;
    progress = std::make_unique<TQRProgressForm>();
    progress->QRPrinter = Printer.get();
    if (ShowProgress)
        progress->show();
    Printer->ClientWindow = progress.get();
    CreateReport();
}

namespace {
// The paper the report is laid out on, in the printer's device mode when the
// printer takes it, so that the print dialog opens on it.
void SelectPaper(TPrinter& printer, TQRPaperSize size)
{
    const TDeviceMode* current = printer.DeviceMode();
    if (!current || !current->Declares(DM_PAPERSIZE) || size == TQRPaperSize::Default || size == TQRPaperSize::Custom)
        return;
    const std::int16_t code = PaperCode(size);
    const auto& offered = printer.PaperCodes();
    if (std::find(offered.begin(), offered.end(), code) == offered.end())
        return;
    TDeviceMode mode = *current;
    mode.PaperSize = code;
    const TPrinterSelection selected = printer.GetPrinter();
    printer.SetPrinter(selected.Device, selected.Driver, selected.Port, mode);
}
}  // namespace

void TQRReport::PrintSetup()
{
    TQRPrintDialog dialog;
    TPrinter& printer = *dialog.EditedPrinter;
    ReselectDefaults(printer);
    printer.SetPrinterIndex(PrinterSettings.PrinterPosition);
    dialog.MinPage = 0;
    dialog.MaxPage = 9999;
    if (Printer && Printer->DocState == rpsFinished) {
        dialog.MinPage = 1;
        dialog.MaxPage = Printer->PageTotal;
        dialog.FromPage = 1;
        dialog.ToPage = dialog.MaxPage;
    }
    dialog.Options = poPageNums | poWarning;
    printer.SetOrientation(Page.Orientation() == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    SelectPaper(printer, Page.PaperSize());
    dialog.SetCopies(PrinterSettings.Copies);
    if (!dialog.RunModal()) {
        Tag = 1;
        return;
    }
    PrinterSettings.Copies = dialog.Copies();
    PrinterSettings.PrinterPosition = printer.PrinterIndex();
    Page.SetOrientation(printer.Orientation() == DMORIENT_LANDSCAPE ? poLandscape : poPortrait);
    if (dialog.PrintRange == prPageNums) {
        PrinterSettings.FirstPage = dialog.FromPage;
        PrinterSettings.LastPage = dialog.ToPage;
    } else {
        PrinterSettings.FirstPage = 0;
        PrinterSettings.LastPage = 0;
    }
    Tag = 0;
}

void TQRReport::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case RPM_PRINTREQUEST:
        Print();
        break;
    case RPM_PREVIEWCLOSED:
        // While a generation runs it is cancelled; otherwise the printer is dropped.
        if (!Idle) {
            CancelRequested = true;
            if (Printer)
                Printer->RequestCancel();
        } else {
            Printer.reset();
        }
        break;
    default:
        break;
    }
}

}  // namespace qrp
