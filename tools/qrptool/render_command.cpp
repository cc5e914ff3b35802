// qrptool render: pages as PNG or SVG pictures, or one PDF document, written
// through the export filters the preview window offers.

#include <cctype>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/export_filters.h"
#include "export/picture_export_filter.h"
#include "platform/exceptions.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/page_source.h"

namespace qrptool {

namespace {
// Runs an action of the filter on page n; a file it cannot write is named as before.
template <typename Action>
void OnOutput(const std::string& fileName, Action&& action)
{
    try {
        action();
    } catch (const qrp::EStreamError& error) {
        throw FileError(fileName + ": " + error.what());
    }
}

// Writes the pages through the export filter, as the viewer's exports do.
void RenderThrough(qrp::TQRExportFilter& filter, PageSource& source, const std::vector<std::int32_t>& pages,
                   std::int32_t pageCount)
{
    filter.ProblemHandlerFor = [&source](std::int32_t n) { return Warner(source.FileName(), n); };
    OnOutput(filter.FileName(), [&] { filter.Start({}, pageCount); });
    for (const std::int32_t n : pages) {
        const auto page = source.Page(n);
        OnOutput(filter.PageFileName(n), [&] { filter.WritePage(*page, n); });
    }
    OnOutput(filter.FileName(), [&] { filter.Finish(); });
}
}  // namespace

int RunRender(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string out = line.Value("-o");
    if (out.empty())
        throw UsageError("give the output with -o OUT");
    std::string extension = std::filesystem::path(out).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string format = line.Value("--format", extension == ".pdf" ? "pdf" : extension == ".svg" ? "svg" : "png");
    if (format != "png" && format != "pdf" && format != "svg")
        throw UsageError("unknown format " + format);
    double dpi = 96;
    try {
        std::size_t used = 0;
        const std::string text = line.Value("--dpi", "96");
        dpi = std::stod(text, &used);
        if (used != text.size() || !(dpi >= 1 && dpi <= 4800))
            throw std::invalid_argument(text);
    } catch (const std::logic_error&) {
        throw UsageError("the resolution must be a number from 1 to 4800");
    }

    EnsureGuiApplication();
    PageSource source(line.Operands()[0]);
    const std::vector<std::int32_t> pages = ParsePages(line.Value("--pages"), source.PageCount());
    const qrp::TQRExportFilterEntry& entry = *qrp::FindExportFilter(format);
    if (format == "pdf") {
        if (pages.empty())
            throw std::runtime_error(line.Operands()[0] + ": the document has no pages");
        const auto pdf = entry.Create(out);
        RenderThrough(*pdf, source, pages, static_cast<std::int32_t>(pages.size()));
        return 0;
    }
    // OUT ending in the format's extension names the one picture rendered,
    // unless it is a folder already; otherwise OUT is a folder.
    std::error_code ignored;
    const bool outIsFile = extension == "." + format && !std::filesystem::is_directory(out, ignored);
    if (outIsFile) {
        const std::size_t distinct = std::set<std::int32_t>(pages.begin(), pages.end()).size();
        if (distinct == 0)
            throw std::runtime_error(line.Operands()[0] + ": the document has no pages");
        if (distinct > 1)
            throw UsageError("-o " + out + " names one " + (format == "svg" ? "SVG" : "PNG") + " file, but " +
                             std::to_string(distinct) + " pages are to be rendered: give -o a folder, or choose "
                             "one page with --pages N");
    } else {
        OnFile(out, [&] { std::filesystem::create_directories(out); });
        // A document without pages leaves its folder empty.
        if (pages.empty())
            return 0;
    }
    // In a folder every picture is numbered by its page: OUT/page-0001.png ...
    const auto pictures = entry.Create(outIsFile ? out : (std::filesystem::path(out) / ("page." + format)).string());
    dynamic_cast<qrp::TQRPictureExportFilter&>(*pictures).NumberEveryPage = !outIsFile;
    pictures->Resolution = dpi;
    RenderThrough(*pictures, source, pages, outIsFile ? 1 : static_cast<std::int32_t>(pages.size()));
    return 0;
}

}  // namespace qrptool
