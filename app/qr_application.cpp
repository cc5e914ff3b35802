#include "app/qr_application.h"

#include <QMessageBox>

#include "platform/messages/application.h"
#include "preview/qr_preview_interface.h"

namespace qrp {

namespace {
void ShowErrorBox(const std::exception& error)
{
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromUtf8(error.what()));
}
}  // namespace

TQRApplication::TQRApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("qrpview"));
    Application::SetExceptionHandler(ShowErrorBox);
    Application::InstallQuitSignals();
    // The desktop session ending asks the program to quit.
    connect(this, &QGuiApplication::commitDataRequest, [] { Application::Terminate(); });
    // Report printers without a preview handler open the standard preview window.
    UseStandardPreview();
}

bool TQRApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Application::HandleException(error);
        return false;
    }
}

}  // namespace qrp
