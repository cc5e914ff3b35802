#pragma once
// The folder of the report file opened last, by any route (open dialog,
// command line, drop), kept in the user's settings across runs so that the
// open dialog starts there.

#include <QString>

#include <string>

namespace qrp {

// The folder, or empty when none is remembered or it is gone.
QString LastReportFolder();
void RememberReportFile(const std::string& path);

}  // namespace qrp
