#pragma once

#include <memory>

class QApplication;

namespace qrptool {

// Fonts and painting need an application object; without a display the
// offscreen platform serves.
void EnsureGuiApplication();

// The same with widgets, for a command that opens a window; errors that leave
// the window's handlers are shown in the standard error box. The caller ends
// it before the program ends: left to the exit handlers, it would go after
// parts of Qt it still needs.
std::unique_ptr<QApplication> StartWidgetsApplication();

}  // namespace qrptool
