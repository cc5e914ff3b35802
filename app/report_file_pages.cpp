#include "app/report_file_pages.h"

#include <mutex>

#include "platform/emf/metafile.h"
#include "report/qr_page_list.h"

namespace qrp {

namespace {
struct TFilePages {
    std::string Path;
    std::once_flag Attached;
    TQRPageList List;  // locks itself for each page
};
}  // namespace

TTextFinder::TPageFetch ReportFilePages(const std::string& path)
{
    auto pages = std::make_shared<TFilePages>();
    pages->Path = path;
    return [pages](std::int32_t pageNumber) -> std::shared_ptr<const TMetafile> {
        // Opened on the worker, so the window does not wait for the file. A
        // failed opening is tried again with the next page, and fails alike.
        std::call_once(pages->Attached, [&] { pages->List.AttachFile(pages->Path); });
        return pages->List.GetPage(pageNumber);
    };
}

}  // namespace qrp
