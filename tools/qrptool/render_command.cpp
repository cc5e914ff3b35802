// qrptool render: pages as PNG or SVG pictures, or one PDF document, written
// through the export filters the preview window offers.

#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/export_filters.h"
#include "export/picture_export_filter.h"
#include "platform/emf/emf_header.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/file_stream.h"
#include "report/qr_page_list.h"
#include "report/report_file_check.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

namespace {
constexpr int kMaxWarningsPerPage = 10;

// The pages to render: a single recording, or a report file's pages on demand.
class PageSource {
public:
    explicit PageSource(const std::string& fileName) : Name(fileName)
    {
        const bool recording = OnFile(fileName, [&] { return IsRecording(fileName); });
        if (!recording) {
            const auto reason = OnFile(fileName, [&] { return qrp::WhyNotAReportFile(fileName); });
            if (reason)
                throw FileError(fileName + ": neither a report file nor a page recording (" + *reason + ")");
        }
        OnFile(fileName, [&] {
            if (recording) {
                Single = std::make_unique<qrp::TMetafile>();
                Single->LoadFromFile(fileName);
            } else {
                List.AttachFile(fileName);
            }
        });
    }
    const std::string& FileName() const { return Name; }
    std::int32_t PageCount() const { return Single ? 1 : List.PageTotal(); }
    std::unique_ptr<qrp::TMetafile> Page(std::int32_t n)
    {
        if (Single)
            return std::make_unique<qrp::TMetafile>(*Single);
        return OnFile(Name, [&] {
            try {
                return List.GetPage(n);
            } catch (const std::exception& error) {
                throw std::runtime_error("page " + std::to_string(n) + ": " + error.what());
            }
        });
    }

private:
    // An EMF header, or at least its signature: a damaged recording is still
    // one, and loading it says what is wrong with it.
    static bool IsRecording(const std::string& fileName)
    {
        qrp::TFileStream file(fileName, qrp::TFileMode::fmOpenReadShared);
        std::uint8_t head[qrp::emf::kBaseHeaderSize] = {};
        const std::size_t read = file.Read(head, sizeof head);
        constexpr std::size_t kSignatureOffset = 40;
        return qrp::emf::ParseEmfHeader(head).has_value() ||
               (read >= kSignatureOffset + 4 && std::memcmp(head + kSignatureOffset, " EMF", 4) == 0);
    }

    std::string Name;
    std::unique_ptr<qrp::TMetafile> Single;
    qrp::TQRPageList List;
};

// "1,3-5": page numbers in the order given, each within 1..count.
std::vector<std::int32_t> ParsePages(const std::string& list, std::int32_t count)
{
    std::vector<std::int32_t> pages;
    if (list.empty()) {
        for (std::int32_t n = 1; n <= count; ++n)
            pages.push_back(n);
        return pages;
    }
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        const std::size_t dash = item.find('-');
        try {
            std::size_t used = 0;
            const long first = std::stol(item.substr(0, dash), &used);
            long last = first;
            if (used != (dash == std::string::npos ? item.size() : dash))
                throw std::invalid_argument(item);
            if (dash != std::string::npos) {
                const std::string rest = item.substr(dash + 1);
                last = std::stol(rest, &used);
                if (used != rest.size())
                    throw std::invalid_argument(item);
            }
            if (first < 1 || last < first || last > count)
                throw UsageError("pages " + item + " lie outside 1-" + std::to_string(count));
            for (long n = first; n <= last; ++n)
                pages.push_back(static_cast<std::int32_t>(n));
        } catch (const std::logic_error&) {
            throw UsageError("bad page list " + list);
        }
        at = comma + 1;
    }
    return pages;
}

qrp::emf::TProblemHandler Warner(const std::string& fileName, std::int32_t page)
{
    auto count = std::make_shared<int>(0);
    return [fileName, page, count](const qrp::emf::TPlaybackProblem& problem) {
        if (++*count <= kMaxWarningsPerPage)
            Warn(fileName + ": page " + std::to_string(page) + ", record " + std::to_string(problem.RecordIndex) +
                 " at offset " + std::to_string(problem.Offset) + ": " + problem.What);
    };
}

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
