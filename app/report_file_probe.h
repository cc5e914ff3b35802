#pragma once
// Reads a report file's header and page 1 as loading will, so that a file
// that cannot be opened is refused before the document on screen is given up.

#include <string>

namespace qrp {

// Why the file cannot be opened; empty when it can.
std::string OpenProblem(const std::string& path);
// Raises "Soubor <path> nelze načíst: <why>" when the file cannot be opened.
void CheckOpens(const std::string& path);

}  // namespace qrp
