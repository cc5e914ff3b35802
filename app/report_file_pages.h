#pragma once
// The pages of a report file for the viewer's search, read on its worker
// thread through a page list of their own: the report printer's page list is
// replaced on the window's thread when a file is opened or read again, so the
// worker never shares it.

#include <string>

#include "preview/text_finder.h"

namespace qrp {

// Page n of the file at path; the file is opened on the first call. Raises
// for a file or page that cannot be read.
TTextFinder::TPageFetch ReportFilePages(const std::string& path);

}  // namespace qrp
