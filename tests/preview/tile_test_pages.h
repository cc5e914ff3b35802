#pragma once
// Pages for the tile tests: the bundled sample report (text, table lines, a
// logo) and a page whose text, lines and shapes cross the tile borders.

#include <vector>

#include "platform/emf/metafile.h"

namespace qrp::test {

std::vector<TMetafile> SampleReportPages();

// An A4 page at 96 pixels per inch; fill, when not white, covers it whole.
TMetafile TileBorderPage(std::uint32_t fill = 0xFFFFFF);

}  // namespace qrp::test
