#pragma once
// The words of a page recording as the text commands read them: the page
// played over its frame at 96 dots per inch onto the text device.

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/text_layout.h"

namespace qrptool {

// Box units of ReadPageText's words, pixels at 96 per inch, in millimetres.
constexpr double kMillimetresPerUnit = 25.4 / 96;

qrp::emf::TPageText ReadPageText(const qrp::TMetafile& page, const qrp::emf::TProblemHandler& onProblem = {});

}  // namespace qrptool
