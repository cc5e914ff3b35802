#pragma once
// Makes report files open in qrpview on the user's desktop: the report file
// type, qrpview's desktop entry and its icon go into the user's data folder
// ($XDG_DATA_HOME), the desktop's caches of them are brought up to date, and
// qrpview becomes the type's default program (the user's mimeapps.list).
// Nothing outside the user's own folders is touched; installing again gives
// the same result.

#include <chrono>

#include <QStringList>

namespace qrp {

inline constexpr const char* kReportMimeType = "application/x-qrp-report";
inline constexpr const char* kDesktopEntryName = "qrpview.desktop";
inline constexpr std::chrono::milliseconds kHelperTimeout = std::chrono::seconds(30);

// Installs the association for the program at programPath. Returns what could
// not be done, one line each, empty when all is in place. A missing cache
// helper (update-desktop-database, gtk-update-icon-cache) is no problem;
// missing update-mime-database or xdg-mime is, as the type is then unknown or
// has no default. Each helper program is given helperTimeout.
QStringList InstallDesktopAssociation(const QString& programPath, std::chrono::milliseconds helperTimeout = kHelperTimeout);

}  // namespace qrp
