#include "preview/qr_preview_interface.h"

#include <QPointer>

#include "platform/messages/application.h"
#include "preview/qr_standard_preview.h"

namespace qrp {

QObject* TQRStandardPreviewInterface::OpenPreview(TQRPrinter& printer)
{
    auto* window = new TQRStandardPreview(printer);
    window->show();
    window->UpdatePageCounter();
    return window;
}

QObject* TQRStandardPreviewInterface::OpenPreviewModal(TQRPrinter& printer)
{
    QPointer<TQRStandardPreview> window = new TQRStandardPreview(printer);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->UpdatePageCounter();
    // A quit request ends the wait too; the window then stays until the program ends.
    while (window && window->isVisible() && !Application::Terminated())
        Application::HandleMessage();
    return window.data();
}

void UseStandardPreview()
{
    DefaultPreviewInterface = [] { return std::make_unique<TQRStandardPreviewInterface>(); };
}

}  // namespace qrp
