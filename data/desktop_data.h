#pragma once
// The files of the desktop association as the program carries them, built in
// from this folder: "qrpview.desktop", "qrpview.xml", "icons/scalable/qrpview.svg"
// and "icons/<N>x<N>/qrpview.png" for each rendered size.

#include <QString>

namespace qrp {

// The built-in copy of a file (or folder) named by its path above.
QString DesktopDataFile(const QString& relativePath);

}  // namespace qrp
