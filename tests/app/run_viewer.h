#pragma once
// Drives the viewer program from inside its own message loop, for tests and
// benchmarks that act as its user.

#include <chrono>
#include <functional>
#include <string>

#include "app/qrp_load.h"

namespace qrp::test {

// Runs the program's loop on load and body from inside it once the viewer
// shows file (none: once the viewer has come up), then closes the window
// unless the body did. False when the viewer did not show the file within
// timeout: the window is closed then and the body never ran.
bool RunViewer(TQRPLoad& load, const std::string& file, const std::function<void(TQRPrew&)>& body,
               std::chrono::milliseconds timeout = std::chrono::minutes(1));

}  // namespace qrp::test
