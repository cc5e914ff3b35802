#include "export/export_filters.h"

#include <algorithm>
#include <cctype>

#include "export/pdf_export_filter.h"
#include "export/png_export_filter.h"
#include "export/svg_export_filter.h"

namespace qrp {

namespace {
template <typename Filter>
std::unique_ptr<TQRExportFilter> Make(const std::string& fileName)
{
    return std::make_unique<Filter>(fileName);
}
}  // namespace

const std::vector<TQRExportFilterEntry>& ExportFilters()
{
    static const std::vector<TQRExportFilterEntry> filters = {
        {"PDF document", "pdf", Make<TQRPdfExportFilter>},
        {"PNG pictures", "png", Make<TQRPngExportFilter>},
        {"SVG pictures", "svg", Make<TQRSvgExportFilter>},
    };
    return filters;
}

const TQRExportFilterEntry* FindExportFilter(std::string extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const TQRExportFilterEntry& entry : ExportFilters())
        if (entry.Extension == extension)
            return &entry;
    return nullptr;
}

}  // namespace qrp
