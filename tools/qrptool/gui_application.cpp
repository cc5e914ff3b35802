#include "tools/qrptool/gui_application.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <QApplication>
#include <QGuiApplication>

#include "platform/messages/application.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

namespace {
int ArgumentCount = 1;
char ProgramName[] = "qrptool";
char* Arguments[] = {ProgramName, nullptr};

void PrepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Outside a desktop session there is no runtime directory; Qt would warn and make one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string runtime = "/tmp/runtime-" + std::to_string(::getuid());
        ::mkdir(runtime.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    }
    RouteQtMessages();
}
}  // namespace

void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    PrepareEnvironment();
    // An error that leaves a message handler while the report printer works.
    qrp::Application::SetExceptionHandler([](const std::exception& error) { Complain(ErrorText(error)); });
    static QGuiApplication application(ArgumentCount, Arguments);
}

std::unique_ptr<QApplication> StartWidgetsApplication()
{
    PrepareEnvironment();
    auto application = std::make_unique<QApplication>(ArgumentCount, Arguments);
    qrp::Application::InstallQuitSignals();
    return application;
}

}  // namespace qrptool
