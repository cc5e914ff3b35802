#include "fuzz/offscreen_application.h"

#include <QGuiApplication>

namespace qrp::fuzz {

void EnsureOffscreenApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application lives until the process ends; Qt keeps a reference to argc.
    static int argc = 1;
    static char name[] = "qrp-fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

}  // namespace qrp::fuzz
