#pragma once
// PNG pictures that bitmap records embed, decoded through libpng's simplified
// reader: its errors and warnings come back as text for the playback problem
// instead of being printed, and the picture's size is checked against the
// bitmap limits before its pixels are allocated.

#include <cstdint>
#include <span>
#include <string>

#include <QImage>

namespace qrp::emf {

// The picture as ARGB32 (transparency kept), or a null image with the reason in problem.
QImage DecodePng(std::span<const std::uint8_t> bytes, std::string* problem);

}  // namespace qrp::emf
