#pragma once
// What the player harnesses share: the input as a page recording, with the
// Qt application that text playback needs to measure fonts.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/emf/metafile.h"

namespace qrp::fuzz {

// The bytes as one page recording, once the process's offscreen
// QGuiApplication exists; none when the container refuses them.
std::optional<TMetafile> PageRecording(const std::uint8_t* data, std::size_t size);

}  // namespace qrp::fuzz
