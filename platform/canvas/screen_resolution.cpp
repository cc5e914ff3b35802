#include "platform/canvas/screen_resolution.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>

namespace qrp {

int ScreenPixelsPerInch()
{
    constexpr int kFallback = 96;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return kFallback;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return kFallback;
    const long dpi = std::lround(screen->logicalDotsPerInch());
    return dpi > 0 ? static_cast<int>(dpi) : kFallback;
}

}  // namespace qrp
