#pragma once
// The pages commands read: a report file's pages on demand, or a single page
// recording as a document of one page; and the page lists they take.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "report/qr_page_list.h"

namespace qrptool {

class PageSource {
public:
    // Raises FileError for a file that cannot be read, is neither a report
    // file nor a page recording, or is damaged.
    explicit PageSource(const std::string& fileName);
    const std::string& FileName() const { return Name; }
    std::int32_t PageCount() const { return Single ? 1 : List.PageTotal(); }
    // Page n (1..PageCount); FileError "NAME: page n: ..." when it cannot be read.
    std::unique_ptr<qrp::TMetafile> Page(std::int32_t n);

private:
    std::string Name;
    std::unique_ptr<qrp::TMetafile> Single;
    qrp::TQRPageList List;
};

// "1,3-5": page numbers in the order given, each within 1..count (every page
// when list is empty). UsageError for a list that is none or pages beyond count.
std::vector<std::int32_t> ParsePages(const std::string& list, std::int32_t count);
// UsageError unless list is a page list whose ranges run forwards from page 1
// on, whatever the document.
void CheckPageList(const std::string& list);

// Reports the page's playback problems as warnings naming the file, page,
// record and offset; the first few of each page only.
qrp::emf::TProblemHandler Warner(const std::string& fileName, std::int32_t page);

}  // namespace qrptool
