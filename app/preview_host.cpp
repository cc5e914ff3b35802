#include "app/preview_host.h"

#include <QCloseEvent>

#include "report/qr_printer.h"

namespace qrp {

TPreviewHost::TPreviewHost()
{
    setWindowTitle(QStringLiteral("Náhled tiskové sestavy"));
    setAttribute(Qt::WA_DeleteOnClose, false);
}

TPreviewHost::~TPreviewHost() { Detach(); }

void TPreviewHost::Attach(TQRPrinter* printer)
{
    Detach();
    Printer = printer;
    if (!Printer)
        return;
    Printer->ClientWindow = this;
    Printer->SetPreviewOpen(true);
}

void TPreviewHost::Detach()
{
    if (!Printer)
        return;
    TQRPrinter* printer = std::exchange(Printer, nullptr);
    printer->SetPreviewOpen(false);
    printer->ClientWindow = nullptr;
    // The report component drops the printer while handling this: nothing touches it after.
    printer->SignalPreviewClosed();
}

void TPreviewHost::WndProc(TMessage& message)
{
    if (message.Msg == RPM_PAGEAVAILABLE)
        LastPagesReady = static_cast<int>(message.WParam);
}

void TPreviewHost::closeEvent(QCloseEvent* event)
{
    Detach();
    event->accept();
}

}  // namespace qrp
