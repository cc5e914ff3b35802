#include "tools/qrptool/page_jobs.h"

#include <exception>
#include <memory>

#include "tools/qrptool/command_line.h"
#include "tools/qrptool/messages.h"
#include "tools/qrptool/page_source.h"

namespace qrptool {

namespace {
// A failure's message: its own text when it names the file (FileError), else
// the file's name before it.
std::string FailureText(const std::string& fileName, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const FileError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return fileName + ": " + ErrorText(e);
    } catch (...) {
        return fileName + ": failed";
    }
}
}  // namespace

bool WorkOnPagesInOrder(const std::vector<std::string>& fileNames, const std::string& pageList, int workers,
                        const PageWork& work, const std::function<void(std::size_t fileIndex)>& afterFile,
                        const std::function<bool(std::size_t fileIndex)>& fileSettled)
{
    // Where a file stands, changed only by the steps taken in order on this thread.
    struct Progress {
        bool Failed = false;
        bool Settled = false;  // its later pages are not wanted
    };
    bool failed = false;
    OrderedJobs jobs(workers);
    for (std::size_t index = 0; index < fileNames.size(); ++index) {
        const std::string& fileName = fileNames[index];
        auto progress = std::make_shared<Progress>();
        const auto fail = [&failed, fileName, progress](std::exception_ptr error) {
            if (progress->Failed || progress->Settled)
                return;
            progress->Failed = true;
            failed = true;
            Complain(FailureText(fileName, error));
        };
        try {
            PageSource source(fileName);
            std::vector<std::int32_t> pages;
            try {
                pages = ParsePages(pageList, source.PageCount());
            } catch (const UsageError& error) {
                // Documents differ in length: pages one of them lacks fail that document only.
                throw FileError(fileName + ": " + error.what());
            }
            for (const std::int32_t n : pages) {
                if (progress->Failed || progress->Settled)
                    break;
                std::shared_ptr<const qrp::TMetafile> page = source.Page(n);
                jobs.Add([&work, &fileSettled, page, task = PageTask {index, fileName, n}, progress,
                          fail]() -> OrderedJobs::Finish {
                    MessageCapture capture;
                    OrderedJobs::Finish done;
                    std::exception_ptr error;
                    try {
                        done = work(task, *page);
                    } catch (...) {
                        error = std::current_exception();
                    }
                    return [&fileSettled, messages = capture.Take(), done = std::move(done), error, index = task.FileIndex,
                            progress, fail] {
                        if (progress->Failed || progress->Settled)
                            return;
                        WriteMessages(messages);
                        if (error) {
                            fail(error);
                            return;
                        }
                        if (done)
                            done();
                        progress->Settled = fileSettled && fileSettled(index);
                    };
                });
            }
        } catch (...) {
            jobs.AddFinish([fail, error = std::current_exception()] { fail(error); });
        }
        if (afterFile)
            jobs.AddFinish([&afterFile, index, progress] {
                if (!progress->Failed)
                    afterFile(index);
            });
    }
    jobs.FinishAll();
    return failed;
}

}  // namespace qrptool
