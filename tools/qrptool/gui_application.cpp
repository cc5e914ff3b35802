#include "tools/qrptool/gui_application.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <QGuiApplication>

#include "platform/messages/application.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
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
    // An error that leaves a message handler while the report printer works.
    qrp::Application::SetExceptionHandler([](const std::exception& error) { Complain(error.what()); });
    static int argc = 1;
    static char name[] = "qrptool";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

}  // namespace qrptool
