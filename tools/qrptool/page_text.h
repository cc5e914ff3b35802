#pragma once
// The words of a page recording as the text commands read them: the page
// played over its frame at 96 dots per inch onto the text device, as the
// viewer reads it too (preview/page_text_source.h).

#include "preview/page_text_source.h"

namespace qrptool {

// Box units of ReadPageText's words, pixels at 96 per inch, in millimetres.
constexpr double kMillimetresPerUnit = 25.4 / qrp::kPageTextUnitsPerInch;

using qrp::ReadPageText;

}  // namespace qrptool
