#pragma once
// The pages of many files worked on side by side and put out in order, for
// the commands that read pages (text, grep). Pages are read on the command's
// thread; each page's work runs on a worker with its messages kept, and what
// the work returns runs on the command's thread in the order of files and
// pages, so the output is the same for any number of workers. A file that
// cannot be read, or a page of it that fails, is reported once and the file's
// later pages are dropped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/emf/metafile.h"
#include "tools/qrptool/ordered_jobs.h"

namespace qrptool {

struct PageTask {
    std::size_t FileIndex;  // in the list of files given
    std::string FileName;
    std::int32_t Page;
};

// Work on one page, on a worker; it returns what is to be done in order.
using PageWork = std::function<OrderedJobs::Finish(const PageTask& task, const qrp::TMetafile& page)>;

// Works on the pages of pageList (every page when empty) of each file, on
// workers threads. afterFile runs in order after the last page of a file that
// did not fail. When fileSettled, asked in order after each page, says so, the
// file's later pages are dropped unread, and their failures with them.
// Returns whether any file failed.
bool WorkOnPagesInOrder(const std::vector<std::string>& fileNames, const std::string& pageList, int workers,
                        const PageWork& work, const std::function<void(std::size_t fileIndex)>& afterFile = {},
                        const std::function<bool(std::size_t fileIndex)>& fileSettled = {});

}  // namespace qrptool
