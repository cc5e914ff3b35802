#pragma once
// The screen's logical resolution: the reference device of page recordings.

namespace qrp {

// Pixels per inch of the primary screen, or 96 without an application or screen.
int ScreenPixelsPerInch();

}  // namespace qrp
