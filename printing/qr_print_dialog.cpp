#include "printing/qr_print_dialog.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWindow>

#include "platform/printing/printer.h"
#include "platform/printing/qt_device_mode.h"
#include "platform/printing/qt_printer_backend.h"

namespace qrp {

// Watches the dialog window: placed and announced when it is shown,
// announced and forgotten when it is hidden.
class TQRCommonDialog::TWindowWatch : public QObject {
public:
    TWindowWatch(TQRCommonDialog& owner, QDialog& dialog) : Owner(owner), Dialog(dialog)
    {
        Dialog.installEventFilter(this);
    }
    ~TWindowWatch() override { Dialog.removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &Dialog && event->type() == QEvent::Show && !Owner.Window) {
            CenterDialog(Dialog);
            Owner.Window = &Dialog;
            if (Owner.OnShow)
                Owner.OnShow(&Owner);
        } else if (watched == &Dialog && event->type() == QEvent::Hide && Owner.Window) {
            if (Owner.OnClose)
                Owner.OnClose(&Owner);
            Owner.Window = nullptr;
        }
        return false;
    }

private:
    TQRCommonDialog& Owner;
    QDialog& Dialog;
};

TQRCommonDialog::TQRCommonDialog() = default;
TQRCommonDialog::~TQRCommonDialog() = default;

void CenterDialog(QWidget& dialog)
{
    const QScreen* screen = dialog.screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QRect window = dialog.frameGeometry();
    dialog.move(area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 3);
}

int TQRCommonDialog::RunSystemDialog(QDialog& dialog)
{
    const QPointer<QWidget> active = QApplication::activeWindow();
    // The dialog has no parent widget, so that disabling the other windows
    // leaves it enabled; the window system still keeps it above the active one.
    if (active && active->windowHandle()) {
        dialog.winId();
        if (QWindow* window = dialog.windowHandle())
            window->setTransientParent(active->windowHandle());
    }
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != &dialog && window->isEnabled()) {
            window->setEnabled(false);
            disabled.emplace_back(window);
        }
    }
    const TWindowWatch watch(*this, dialog);
    struct TRestore {
        std::vector<QPointer<QWidget>>& Windows;
        const QPointer<QWidget>& Active;
        ~TRestore()
        {
            for (const QPointer<QWidget>& window : Windows)
                if (window)
                    window->setEnabled(true);
            if (Active)
                Active->activateWindow();
        }
    } restore {disabled, active};
    return dialog.exec();
}

TQRBasePrintDialog::TQRBasePrintDialog() : EditedPrinter(&ApplicationPrinter()) {}

void TQRPrintDialog::SetCopies(int copies)
{
    CopyCount = copies;
    EditedPrinter->SetCopies(copies);
}

namespace {
// The dialog takes page numbers as unsigned 16-bit values.
int PageNumberForDialog(int page) { return std::clamp(page, 0, 0xFFFF); }

QPrintDialog::PrintDialogOptions DialogOptions(TPrintDialogOptions options)
{
    // The PDF file printer is one of the printers, so it is always offered.
    QPrintDialog::PrintDialogOptions qtOptions =
        QPrintDialog::PrintToFile | QPrintDialog::PrintCollateCopies | QPrintDialog::PrintShowPageSize;
    if (options & poPageNums)
        qtOptions |= QPrintDialog::PrintPageRange;
    if (options & poSelection)
        qtOptions |= QPrintDialog::PrintSelection;
    return qtOptions;
}

QPrintDialog::PrintRange DialogRange(TPrintRange range)
{
    switch (range) {
    case prSelection: return QPrintDialog::Selection;
    case prPageNums: return QPrintDialog::PageRange;
    case prAllPages: break;
    }
    return QPrintDialog::AllPages;
}
}  // namespace

bool TQRPrintDialog::RunModal()
{
    const TPrinterSelection selected = EditedPrinter->GetPrinter();
    DeviceName = selected.Device;
    DriverName = selected.Driver;
    PortName = selected.Port;
    // The dialog edits a copy; the edited printer keeps its own settings until it is confirmed.
    std::unique_ptr<QPrinter> printer = ConfiguredPrinter({DeviceName, DriverName, PortName}, selected.DeviceMode);
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (Collate)
        printer->setCollateCopies(true);

    QPrintDialog dialog(printer.get());
    dialog.setOptions(DialogOptions(Options));
    const int minPage = PageNumberForDialog(MinPage);
    dialog.setMinMax(minPage, std::max(minPage, PageNumberForDialog(MaxPage)));
    const int fromPage = PageNumberForDialog(FromPage);
    dialog.setFromTo(fromPage, std::max(fromPage, PageNumberForDialog(ToPage)));
    dialog.setPrintRange(DialogRange(PrintRange));
    if (RunSystemDialog(dialog) != QDialog::Accepted)
        return false;

    PrintToFile = printer->outputFormat() == QPrinter::PdfFormat;
    const std::string device = PrintToFile ? kPdfFilePrinter : printer->printerName().toStdString();
    const bool samePrinter = device == DeviceName;
    const QPrinterInfo info = PrintToFile ? QPrinterInfo() : QPrinterInfo::printerInfo(printer->printerName());
    TDeviceMode mode = DeviceModeOf(*printer, info);
    // What the dialog does not show stays as the printer had it.
    if (samePrinter && selected.DeviceMode && selected.DeviceMode->Declares(DM_DEFAULTSOURCE)) {
        mode.Fields |= DM_DEFAULTSOURCE;
        mode.DefaultSource = selected.DeviceMode->DefaultSource;
    }
    // The file printer's port is the file chosen; a queue keeps the port it has.
    const std::string port = PrintToFile ? printer->outputFileName().toStdString() : std::string();
    EditedPrinter->SetPrinter(device, samePrinter ? DriverName : std::string(), port, mode);

    Collate = printer->collateCopies();
    switch (dialog.printRange()) {
    case QPrintDialog::Selection: PrintRange = prSelection; break;
    case QPrintDialog::PageRange: PrintRange = prPageNums; break;
    case QPrintDialog::AllPages:
    case QPrintDialog::CurrentPage: PrintRange = prAllPages; break;
    }
    FromPage = dialog.fromPage();
    ToPage = dialog.toPage();
    CopyCount = std::max(printer->copyCount(), 1);
    return true;
}

}  // namespace qrp
