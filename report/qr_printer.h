#pragma once
// The report printer: owns one report document and everything needed to
// produce, hold, show and print it — the page list and its stream, the page
// count and status, the title, its own printer object with its settings, and
// the windows it reports to with numbered messages.
//
// A document arrives by generation (StartDocument, NewPage before every page,
// drawing on PageCanvas in positions converted from tenths of a millimetre,
// FinishDocument or AbortDocument) or by Load of a report file.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <QObject>
#include <QPointer>

#include "platform/exceptions.h"
#include "platform/messages/messages.h"
#include "printing/paper_sizes.h"
#include "report/qr_page_list.h"

namespace qrp {

class TCanvas;
class TMetafileCanvas;
class TPrinter;
class TPrinterSettings;
class TQRExportFilter;

// Misuse of the report printer.
class EQRError : public Exception {
public:
    using Exception::Exception;
};

enum TReportPrinterStatus : std::uint8_t { rpsReady = 0, rpsBusy = 1, rpsFinished = 2 };
enum TReportDestination : std::uint8_t { rdRecord = 0, rdPrinter = 1 };

// Messages to the client window (progress, pages available) and the master window (requests).
constexpr std::uint32_t RPM_PROGRESS = WM_USER + 0;
constexpr std::uint32_t RPM_PAGEAVAILABLE = WM_USER + 1;
constexpr std::uint32_t RPM_PRINTREQUEST = WM_USER + 2;
constexpr std::uint32_t RPM_PREVIEWCLOSED = WM_USER + 4;

class TQRPrinter;
using TQRPrinterEvent = std::function<void(TQRPrinter* sender)>;

class TQRPrinter {
public:
    TQRPrinter();
    ~TQRPrinter();
    TQRPrinter(const TQRPrinter&) = delete;
    TQRPrinter& operator=(const TQRPrinter&) = delete;

    // Producing a document.
    void StartDocument();
    void NewPage();
    void FinishDocument();
    void AbortDocument();
    void RequestCancel() { CancelRequested = true; }
    void DropDocument();

    // Report files. Load replaces the held document; Save writes it (only when finished).
    void Load(const std::string& fileName);
    void Save(const std::string& fileName);

    // A new recording of page n owned by the caller, or none.
    std::unique_ptr<TMetafile> GetPage(std::int32_t pageNumber);

    // Runs PreviewHandler; without one, the DefaultPreviewInterface opens a
    // preview window, kept in DefaultPreviewWindow.
    void Preview();
    bool PreviewOpen() const { return PreviewIsOpen; }
    void SetPreviewOpen(bool open);
    void SignalPreviewClosed();
    // A loaded document: its pages of the range onto the printer, each
    // stretched into the printable area, letting the windows work between
    // pages; RequestCancel or a quit request drops the job. A generated one
    // is handed to the report component to generate again (RPM_PRINTREQUEST).
    // Progress reports how far the job has come.
    void Print();
    void PrintSetup(void* sender);
    // Runs ExportHandler with the filter; without one, writes the finished
    // document through the filter page by page (EQRError when none is held).
    void ExportToFilter(TQRExportFilter& filter);

    std::int32_t PagesReady() const { return PagesReadyCount; }
    void SetPagesReady(std::int32_t pages);
    std::int32_t Progress() const { return ProgressPercent; }
    void SetProgress(std::int32_t percent);

    // Tenths of a millimetre to device pixels, halves to even.
    std::int32_t ToDeviceX(long double x) const;
    std::int32_t ToDeviceY(long double y) const;
    std::int32_t ToDeviceDX(long double x) const;
    std::int32_t ToDeviceDY(long double y) const;
    // The oriented page size in tenths of a millimetre.
    std::int32_t PageWidth() const;
    std::int32_t PageLength() const;

    void SetCompression(bool compression) { DocumentPages->SetCompression(compression); }
    bool Compression() const { return DocumentPages->Compression(); }

    // Printer settings, each ignored when the printer cannot take it.
    void SetPrinterPosition(int index);
    TQRPaperSize PaperSize() const;
    void SetPaperSize(TQRPaperSize size);
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    std::int32_t SheetWidth() const;
    std::int32_t SheetLength() const;
    void SetSheetWidth(std::int32_t width);
    void SetSheetLength(std::int32_t length);
    void SetCopies(int copies);
    void SetOutputBin(TQRBin bin);

    TPrinter& OwnPrinter() { return *Printer; }
    TPrinterSettings& Settings() { return *PrinterSettings; }
    TCanvas* PageCanvas() const { return Canvas; }
    std::int32_t PageNumber() const { return CurrentPage; }
    bool LoadedFromFile() const { return FromFile; }
    // The last Load found page 1 on a row of the paper table.
    bool PaperRecognised() const { return PaperMatched; }

    // Plain fields the report component, the preview and the print progress window use directly.
    TReportDestination PageTarget = rdRecord;
    std::string JobTitle;
    std::int32_t PageTotal = 0;
    TReportPrinterStatus DocState = rpsReady;
    TMessageTarget* ClientWindow = nullptr;
    TMessageTarget* MasterWindow = nullptr;
    std::int32_t FirstPage = 0;
    std::int32_t LastPage = 0;
    bool CancelRequested = false;
    long double ScaleX = 1.0L;
    long double ScaleY = 1.0L;
    bool HasPrinter = false;
    std::int32_t UnprintableLeft = 0;
    std::int32_t UnprintableTop = 0;
    TQRPrinterEvent AfterPrintHandler;
    TQRPrinterEvent AfterPreviewHandler;
    TQRPrinterEvent PreviewHandler;
    std::function<void(void* sender)> PrintSetupHandler;
    std::function<void(TQRExportFilter& filter)> ExportHandler;
    // The window Preview opened without a handler; none once it is gone. It
    // shows this printer, so it is closed when the printer goes first.
    QPointer<QObject> DefaultPreviewWindow;

private:
    bool PageInRange() const;
    void StartRecordedPage();
    void StoreRecordedPage();
    void DetectPaper(const TMetafile& firstPage);
    void UseScreenScale();
    void UsePrinterScale();
    void UseApplicationPort();
    void StartPrinterPage();
    void EndPrinterPage();
    // The pages Print puts on paper: first > last when there are none.
    std::pair<std::int32_t, std::int32_t> PrintRange() const;
    void PrintHeldPages();

    std::unique_ptr<TPrinter> Printer;
    std::unique_ptr<TPrinterSettings> PrinterSettings;
    std::unique_ptr<TQRPageList> DocumentPages;
    std::unique_ptr<TMetafileCanvas> Recording;
    TCanvas* Canvas = nullptr;
    std::int32_t PagesReadyCount = 0;
    std::int32_t ProgressPercent = 0;
    std::int32_t CurrentPage = 0;
    bool PreviewIsOpen = false;
    bool FromFile = false;
    bool PaperMatched = false;
};

}  // namespace qrp
