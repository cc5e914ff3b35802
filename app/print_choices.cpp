#include "app/print_choices.h"

#include "component/qr_report.h"
#include "platform/printing/printer.h"
#include "printing/printer_settings.h"
#include "report/qr_printer.h"

namespace qrp {

void OfferDocumentPaper(const TQRPrinter& document, TQRReport& report)
{
    if (!document.LoadedFromFile())
        return;
    if (document.PaperRecognised())
        report.Page.SetPaperSize(document.PaperSize());
    report.Page.SetOrientation(document.Orientation());
}

void TakePrintChoices(const TQRReport& report, TQRPrinter& document)
{
    if (!document.HasPrinter)
        return;
    const TQRPaperSize paper = document.PaperSize();
    const TPrinterSelection chosen = ApplicationPrinter().GetPrinter();
    document.OwnPrinter().SetPrinter(chosen.Device, chosen.Driver, chosen.Port, chosen.DeviceMode);
    document.Settings().ReadPrinterSettings();
    // A paper recognised from the document stays; otherwise the dialog's does.
    if (document.PaperRecognised())
        document.SetPaperSize(paper);
    document.SetOrientation(report.Page.Orientation());
    document.SetCopies(report.PrinterSettings.Copies);
    document.FirstPage = report.PrinterSettings.FirstPage;
    document.LastPage = report.PrinterSettings.LastPage;
}

}  // namespace qrp
