#include "tools/qrptool/page_source.h"

#include <cstring>

#include "platform/emf/emf_header.h"
#include "platform/file_stream.h"
#include "report/report_file_check.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

namespace {
constexpr int kMaxWarningsPerPage = 10;

// An EMF header, or at least its signature: a damaged recording is still
// one, and loading it says what is wrong with it.
bool IsRecording(const std::string& fileName)
{
    qrp::TFileStream file(fileName, qrp::TFileMode::fmOpenReadShared);
    std::uint8_t head[qrp::emf::kBaseHeaderSize] = {};
    const std::size_t read = file.Read(head, sizeof head);
    constexpr std::size_t kSignatureOffset = 40;
    return qrp::emf::ParseEmfHeader(head).has_value() ||
           (read >= kSignatureOffset + 4 && std::memcmp(head + kSignatureOffset, " EMF", 4) == 0);
}

struct PageRange {
    long First;
    long Last;
};

// One item of a page list, "3" or "3-5"; UsageError "bad page list LIST" when it is none.
PageRange ParsePageItem(const std::string& item, const std::string& list)
{
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
        return {first, last};
    } catch (const std::logic_error&) {
        throw UsageError("bad page list " + list);
    }
}

// Calls action(item, range) for every item of a page list in order.
template <typename Action>
void ForEachPageItem(const std::string& list, Action&& action)
{
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string item = list.substr(at, comma - at);
        action(item, ParsePageItem(item, list));
        at = comma + 1;
    }
}
}  // namespace

PageSource::PageSource(const std::string& fileName) : Name(fileName)
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

std::unique_ptr<qrp::TMetafile> PageSource::Page(std::int32_t n)
{
    if (Single)
        return std::make_unique<qrp::TMetafile>(*Single);
    return OnFile(Name, [&] {
        try {
            return List.GetPage(n);
        } catch (const std::exception& error) {
            throw std::runtime_error("page " + std::to_string(n) + ": " + ErrorText(error));
        }
    });
}

std::vector<std::int32_t> ParsePages(const std::string& list, std::int32_t count)
{
    std::vector<std::int32_t> pages;
    if (list.empty()) {
        for (std::int32_t n = 1; n <= count; ++n)
            pages.push_back(n);
        return pages;
    }
    ForEachPageItem(list, [&](const std::string& item, const PageRange& range) {
        if (range.First >= 1 && range.Last < range.First)
            throw ReversedPageRange(item);
        if (range.First < 1 || range.Last > count)
            throw UsageError("pages " + item + " lie outside 1-" + std::to_string(count));
        for (long n = range.First; n <= range.Last; ++n)
            pages.push_back(static_cast<std::int32_t>(n));
    });
    return pages;
}

void CheckPageList(const std::string& list)
{
    if (list.empty())
        return;
    ForEachPageItem(list, [](const std::string& item, const PageRange& range) {
        if (range.First >= 1 && range.Last < range.First)
            throw ReversedPageRange(item);
        if (range.First < 1)
            throw UsageError("bad page range " + item);
    });
}

qrp::emf::TProblemHandler Warner(const std::string& fileName, std::int32_t page)
{
    auto count = std::make_shared<int>(0);
    // Past the cap only what ends the page's drawing is still told: it explains a page drawn in part.
    return [fileName, page, count](const qrp::emf::TPlaybackProblem& problem) {
        if (++*count <= kMaxWarningsPerPage || problem.StopsPlayback)
            Warn(fileName + ": page " + std::to_string(page) + ", record " + std::to_string(problem.RecordIndex) +
                 " at offset " + std::to_string(problem.Offset) + ": " + problem.What);
    };
}

}  // namespace qrptool
