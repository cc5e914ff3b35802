#pragma once
// The export filters a user can choose from: what a file dialog lists for
// them, the extension of their files, and how to make one for a file.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/qr_export_filter.h"

namespace qrp {

struct TQRExportFilterEntry {
    std::string Description;  // "PDF document"
    std::string Extension;    // "pdf", lower case, without the dot
    std::function<std::unique_ptr<TQRExportFilter>(const std::string& fileName)> Create;

    // The entry as a file dialog filter: "PDF document (*.pdf)".
    std::string DialogFilter() const { return Description + " (*." + Extension + ")"; }
};

// PDF, PNG and SVG, in the order a file dialog lists them.
const std::vector<TQRExportFilterEntry>& ExportFilters();

// The entry for an extension, any case, with or without its dot; none when no filter writes it.
const TQRExportFilterEntry* FindExportFilter(std::string extension);

}  // namespace qrp
