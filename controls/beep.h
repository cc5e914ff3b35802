#pragma once
// The default system beep that controls give for refused input. Tests replace
// it to count the beeps instead of sounding them.

#include <functional>

namespace qrp {

using TBeepHandler = std::function<void()>;

// Sounds the beep through the current handler.
void Beep();

// Makes handler the beep; an empty handler restores the system's. Returns the
// handler it replaces (empty while the system's was in use).
TBeepHandler SetBeepHandler(TBeepHandler handler);

}  // namespace qrp
