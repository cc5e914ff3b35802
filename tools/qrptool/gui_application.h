#pragma once

namespace qrptool {

// Fonts and painting need an application object; without a display the
// offscreen platform serves.
void EnsureGuiApplication();

}  // namespace qrptool
