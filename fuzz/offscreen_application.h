#pragma once

namespace qrp::fuzz {

// Makes the one QGuiApplication of the process on the offscreen platform, on
// the first call. Text playback measures fonts, which needs it.
void EnsureOffscreenApplication();

}  // namespace qrp::fuzz
