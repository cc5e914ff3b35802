// qrptool render: pages as PNG or SVG pictures, or one PDF document, written
// through the export filters the preview window offers. Pictures are drawn
// on worker threads, a page each, and put in place in page order; with
// several files each goes into a folder of its own.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export/export_filters.h"
#include "export/picture_export_filter.h"
#include "export/png_export_filter.h"
#include "platform/exceptions.h"
#include "platform/file_replace.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/messages.h"
#include "tools/qrptool/ordered_jobs.h"
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
        throw FileError(fileName + ": " + ErrorText(error));
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

// One input file on its way through the jobs. Its steps run in order on the
// command's thread; once one has failed, the file's later pages are dropped
// unwritten, as they would not have been reached one page at a time.
struct FileState {
    bool Failed = false;
    std::function<void(std::exception_ptr)> OnFailure;

    void Fail(std::exception_ptr error)
    {
        Failed = true;
        OnFailure(error);
    }
};

// Queues the pictures of pages of source: each drawn into a temporary file on
// a worker, put in place (and its warnings told) in order.
void QueuePictures(const std::shared_ptr<qrp::TQRPictureExportFilter>& filter, PageSource& source,
                   const std::vector<std::int32_t>& pages, OrderedJobs& jobs, const std::shared_ptr<FileState>& state)
{
    const std::string sourceName = source.FileName();
    filter->ProblemHandlerFor = [sourceName](std::int32_t n) { return Warner(sourceName, n); };
    for (const std::int32_t n : pages) {
        std::shared_ptr<const qrp::TMetafile> page;
        try {
            page = source.Page(n);
        } catch (...) {
            jobs.AddFinish([state, error = std::current_exception()] {
                if (!state->Failed)
                    state->Fail(error);
            });
            return;
        }
        jobs.Add([filter, page, n, state]() -> OrderedJobs::Finish {
            MessageCapture capture;
            const std::string name = filter->PageFileName(n);
            std::shared_ptr<qrp::TReplacingFile> file;
            std::exception_ptr error;
            try {
                OnOutput(name, [&] {
                    file = std::make_shared<qrp::TReplacingFile>(name);
                    filter->WritePicture(*page, n, file->Stream());
                });
            } catch (...) {
                error = std::current_exception();
                file.reset();
            }
            return [messages = capture.Take(), file, error, state, name] {
                if (state->Failed)
                    return;
                WriteMessages(messages);
                std::exception_ptr failure = error;
                if (!failure) {
                    try {
                        OnOutput(name, [&] { file->Commit(); });
                    } catch (...) {
                        failure = std::current_exception();
                    }
                }
                if (failure)
                    state->Fail(failure);
            };
        });
    }
}

// The strips of PNG pages share 256 MB between the workers: a page of several
// strips holds two, one drawn while the other is packed, each at most 32 MB
// and at least 4 MB (smaller ones replay the page too often).
std::size_t StripBytes(int workers)
{
    constexpr std::size_t kShared = std::size_t {128} << 20;
    return std::clamp(kShared / static_cast<std::size_t>(std::max(workers, 1)), std::size_t {4} << 20, qrp::kStripBytes);
}

// An export filter for pictures of format at dpi, drawn by workers.
std::shared_ptr<qrp::TQRPictureExportFilter> PictureFilter(const qrp::TQRExportFilterEntry& entry,
                                                           const std::string& fileName, double dpi, int workers)
{
    std::shared_ptr<qrp::TQRPictureExportFilter> filter(
        dynamic_cast<qrp::TQRPictureExportFilter*>(entry.Create(fileName).release()));
    filter->Resolution = dpi;
    if (auto* png = dynamic_cast<qrp::TQRPngExportFilter*>(filter.get()))
        png->StripBytes = StripBytes(workers);
    return filter;
}

std::string LowerExtension(const std::string& fileName)
{
    std::string extension = std::filesystem::path(fileName).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

double ParseResolution(const CommandLine& line)
{
    try {
        std::size_t used = 0;
        const std::string text = line.Value("--dpi", "96");
        const double dpi = std::stod(text, &used);
        if (used != text.size() || !(dpi >= 1 && dpi <= 4800))
            throw std::invalid_argument(text);
        return dpi;
    } catch (const std::logic_error&) {
        throw UsageError("the resolution must be a number from 1 to 4800");
    }
}

// The message of a failure, beginning with the name of the file it befell.
std::string NamingFile(const std::string& fileName, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        const std::string text = ErrorText(e);
        return text.rfind(fileName + ":", 0) == 0 ? text : fileName + ": " + text;
    } catch (...) {
        return fileName + ": failed";
    }
}

// One file, as qrptool render has always done it; the first failure ends the command.
int RenderOne(const CommandLine& line, const std::string& input, const std::string& format, double dpi, int workers)
{
    const std::string out = line.Value("-o");
    const std::string extension = LowerExtension(out);
    PageSource source(input);
    const std::vector<std::int32_t> pages = ParsePages(line.Value("--pages"), source.PageCount());
    const qrp::TQRExportFilterEntry& entry = *qrp::FindExportFilter(format);
    if (format == "pdf") {
        if (pages.empty())
            throw std::runtime_error(input + ": the document has no pages");
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
            throw std::runtime_error(input + ": the document has no pages");
        if (distinct > 1)
            throw UsageError("-o " + out + " names one " + (format == "svg" ? "SVG" : "PNG") + " file, but " +
                             std::to_string(distinct) + " pages are to be rendered: give -o a folder, or choose "
                             "one page with --pages N");
    } else {
        CreateFolder(out);
        // A document without pages leaves its folder empty.
        if (pages.empty())
            return 0;
    }
    // In a folder every picture is numbered by its page: OUT/page-0001.png ...
    const auto pictures =
        PictureFilter(entry, outIsFile ? out : (std::filesystem::path(out) / ("page." + format)).string(), dpi, workers);
    pictures->NumberEveryPage = !outIsFile;
    pictures->Start({}, outIsFile ? 1 : static_cast<std::int32_t>(pages.size()));
    auto state = std::make_shared<FileState>();
    state->OnFailure = [](std::exception_ptr error) { std::rethrow_exception(error); };
    OrderedJobs jobs(workers);
    QueuePictures(pictures, source, pages, jobs, state);
    jobs.FinishAll();
    return 0;
}

// Several files: FILE's pictures go to OUT/STEM/page-0001.png ..., its PDF to
// OUT/STEM.pdf. A file that fails is reported and the others still go.
int RenderMany(const CommandLine& line, const std::string& format, double dpi, int workers)
{
    const std::string out = line.Value("-o");
    const std::vector<std::string>& inputs = line.Operands();
    std::error_code ignored;
    if (LowerExtension(out) == "." + format && !std::filesystem::is_directory(out, ignored))
        throw UsageError("-o " + out + " names one file, but " + std::to_string(inputs.size()) +
                         " files are to be rendered: give -o a folder");
    std::map<std::string, std::string> takenBy;
    for (const std::string& input : inputs) {
        const std::string stem = std::filesystem::path(input).stem().string();
        const auto [at, fresh] = takenBy.emplace(stem, input);
        if (!fresh)
            throw UsageError(at->second + " and " + input + " would both be rendered into " +
                             (std::filesystem::path(out) / stem).string() + ": give files of different names");
    }
    const std::string pageList = line.Value("--pages");
    CheckPageList(pageList);
    CreateFolder(out);

    const qrp::TQRExportFilterEntry& entry = *qrp::FindExportFilter(format);
    bool failed = false;
    OrderedJobs jobs(workers);
    for (const std::string& input : inputs) {
        auto state = std::make_shared<FileState>();
        const std::filesystem::path target = std::filesystem::path(out) / std::filesystem::path(input).stem();
        state->OnFailure = [input, target, &failed](std::exception_ptr failure) {
            Complain(NamingFile(input, failure));
            failed = true;
            // A file that failed before its first picture leaves no empty folder behind.
            std::error_code error;
            if (std::filesystem::is_directory(target, error) && std::filesystem::is_empty(target, error))
                std::filesystem::remove(target, error);
        };
        std::shared_ptr<PageSource> source;
        std::vector<std::int32_t> pages;
        try {
            source = std::make_shared<PageSource>(input);
            try {
                pages = ParsePages(pageList, source->PageCount());
            } catch (const UsageError& error) {
                // Documents differ in length: pages one of them lacks fail that document only.
                throw FileError(input + ": " + error.what());
            }
            if (format == "pdf" && pages.empty())
                throw std::runtime_error(input + ": the document has no pages");
            if (format != "pdf")
                CreateFolder(target);
        } catch (...) {
            jobs.AddFinish([state, error = std::current_exception()] { state->Fail(error); });
            continue;
        }
        if (format == "pdf") {
            // A document is one file written page after page: one worker's job.
            jobs.Add([&entry, source, pages, state, name = target.string() + ".pdf"]() -> OrderedJobs::Finish {
                MessageCapture capture;
                std::exception_ptr error;
                try {
                    const auto pdf = entry.Create(name);
                    RenderThrough(*pdf, *source, pages, static_cast<std::int32_t>(pages.size()));
                } catch (...) {
                    error = std::current_exception();
                }
                return [messages = capture.Take(), error, state] {
                    WriteMessages(messages);
                    if (error)
                        state->Fail(error);
                };
            });
            continue;
        }
        const auto pictures = PictureFilter(entry, (target / ("page." + format)).string(), dpi, workers);
        pictures->NumberEveryPage = true;
        pictures->Start({}, static_cast<std::int32_t>(pages.size()));
        QueuePictures(pictures, *source, pages, jobs, state);
    }
    jobs.FinishAll();
    return failed ? 1 : 0;
}
}  // namespace

int RunRender(const CommandLine& line)
{
    if (line.Operands().empty())
        throw UsageError("missing operand");
    const std::string out = line.Value("-o");
    if (out.empty())
        throw UsageError("give the output with -o OUT");
    const std::string extension = LowerExtension(out);
    const std::string format = line.Value("--format", extension == ".pdf" ? "pdf" : extension == ".svg" ? "svg" : "png");
    if (format != "png" && format != "pdf" && format != "svg")
        throw UsageError("unknown format " + format);
    const double dpi = ParseResolution(line);
    const int workers = WorkerCount(line.Value("-j"));

    EnsureGuiApplication();
    if (line.Operands().size() == 1)
        return RenderOne(line, line.Operands()[0], format, dpi, workers);
    return RenderMany(line, format, dpi, workers);
}

}  // namespace qrptool
