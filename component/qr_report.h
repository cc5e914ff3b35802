#pragma once
// The report component: a report definition (page, printer settings, title,
// options) and the path from it to a report printer — the modal preview the
// program lives in, generation into a report printer, and printing by
// generating again onto the printer. It receives the report printer's
// requests as messages.
//
// The band engine, expressions and data access are not part of this program:
// a definition here has no bands and no data set, so generation starts no page.

#include <functional>
#include <memory>
#include <string>

#include "component/qr_page.h"
#include "component/qr_page_host.h"
#include "platform/messages/messages.h"
#include "printing/qr_printer_settings.h"
#include "report/qr_printer.h"

namespace qrp {

enum TQROption : unsigned { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };
using TQROptions = unsigned;

class TQRReport;
using TQRReportEvent = std::function<void(TQRReport* sender)>;

class TQRReport : public TMessageTarget, public TQRPageHost {
public:
    TQRReport();
    ~TQRReport() override;

    // Shows the report in a preview and returns when the preview has ended or
    // the application was asked to quit.
    void PreviewModal();
    // Generates the report into CurrentPrinter.
    virtual void CreateReport();
    // Generates the report onto the printer, with a progress window.
    void Print();
    // Runs the print dialog on the application's printer and keeps the
    // choices (printer, copies, page range, orientation); Tag is then 0 when
    // the dialog was confirmed and 1 when it was cancelled.
    void PrintSetup();

    void WndProc(TMessage& message) override;

    // As the page's host: the component takes the page's pixel size. It is
    // never shown and holds no bands, so there is nothing to repaint or lay out.
    void SetPixelSize(int width, int height) override;
    void Repaint() override {}
    void RelayoutBands() override {}
    int FontSize() const override { return FontPoints; }
    int Width() const { return PixelWidth; }
    int Height() const { return PixelHeight; }

    // The report printer of the running or last preview; the component owns it.
    TQRPrinter* CurrentPrinter() const { return Printer.get(); }

    bool Idle = true;
    bool CancelRequested = false;
    int Tag = 0;
    std::string ReportTitle;
    TQROptions Options = FirstPageHeader | LastPageFooter;
    TQRPage Page;
    TQRReportPrinterSettings PrinterSettings;
    bool PrintIfEmpty = true;
    bool ShowProgress = true;
    TQRPrinterEvent OnPreview;
    TQRReportEvent AfterPreview;
    TQRReportEvent AfterPrint;
    std::function<void(TQRReport* sender, bool& print)> BeforePrint;

protected:
    // The band engine's part of a generation: starting pages on the current
    // printer and drawing them. A definition without bands and data draws
    // nothing; it looks at the printer's CancelRequested between pages.
    virtual void PrintBands() {}

private:
    bool CreatePrinter();
    void SetPrinterValues();

    std::unique_ptr<TQRPrinter> Printer;
    int PixelWidth = 0;
    int PixelHeight = 0;
    int FontPoints = 10;
};

}  // namespace qrp
