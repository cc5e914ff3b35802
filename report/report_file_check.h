#pragma once

#include <string>
#include <vector>

namespace qrp {

// Validates a report file the way a viewer reads it and more: the header, the
// whole record chain in both directions, and every page's recording. Returns
// one line per problem; an empty list means the file is sound.
std::vector<std::string> CheckReportFile(const std::string& fileName);

}  // namespace qrp
