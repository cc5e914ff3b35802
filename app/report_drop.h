#pragma once
// What a drop onto the viewer carries: one local ".qrp" file (any letter case
// of the extension) opens; anything else is refused.

#include <optional>
#include <string>

class QMimeData;

namespace qrp {

// The local path of the report file the data names, or none.
std::optional<std::string> DroppedReportFile(const QMimeData& data);

}  // namespace qrp
