// qrptool pack, unpack and convert: pages in and out of report files. New
// documents are built the way a report is produced: a page stream in memory
// that moves to a temporary file when it grows, AddPage for every page,
// Finish for the header, then the stream written to the file.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/emf/metafile.h"
#include "report/qr_page_list.h"
#include "tools/qrptool/messages.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"

namespace qrptool {

namespace {
std::unique_ptr<qrp::TQRPageList> NewDocument(bool compress)
{
    auto list = std::make_unique<qrp::TQRPageList>();
    list->SetCompression(compress);
    list->AttachStream(std::make_unique<qrp::TQRStream>(qrp::TQRStream::kDefaultSpillLimit));
    return list;
}

void SaveDocument(qrp::TQRPageList& list, const std::string& fileName)
{
    list.Finish();
    OnFile(fileName, [&] { list.WriteToFile(fileName); });
}

std::unique_ptr<qrp::TQRPageList> OpenDocument(const std::string& fileName)
{
    RequireReportFile(fileName);
    auto list = std::make_unique<qrp::TQRPageList>();
    OnFile(fileName, [&] { list->AttachFile(fileName); });
    return list;
}

std::unique_ptr<qrp::TMetafile> ReadPage(qrp::TQRPageList& list, std::int32_t page, const std::string& fileName)
{
    return OnFile(fileName, [&] {
        try {
            return list.GetPage(page);
        } catch (const std::exception& error) {
            throw std::runtime_error("page " + std::to_string(page) + ": " + ErrorText(error));
        }
    });
}

std::string PageFileName(const std::filesystem::path& directory, std::int32_t page)
{
    char name[32];
    std::snprintf(name, sizeof name, "page-%04d.emf", page);
    return (directory / name).string();
}
}  // namespace

int RunPack(const CommandLine& line)
{
    // Without pages there is nothing to pack: OUT is left as it is.
    if (line.Operands().size() == 1)
        throw UsageError("give one or more page recordings after " + line.Operands()[0]);
    line.ExpectOperands(2, SIZE_MAX);
    const auto& operands = line.Operands();
    auto list = NewDocument(line.Has("--compress"));
    for (std::size_t i = 1; i < operands.size(); ++i) {
        qrp::TMetafile page;
        OnFile(operands[i], [&] { page.LoadFromFile(operands[i]); });
        list->AddPage(page);
    }
    SaveDocument(*list, operands[0]);
    return 0;
}

int RunUnpack(const CommandLine& line)
{
    line.ExpectOperands(2, 2);
    const std::string& fileName = line.Operands()[0];
    const std::filesystem::path directory = line.Operands()[1];
    auto list = OpenDocument(fileName);
    CreateFolder(directory);
    for (std::int32_t page = 1; page <= list->PageTotal(); ++page) {
        const auto recording = ReadPage(*list, page, fileName);
        const std::string pageFile = PageFileName(directory, page);
        OnFile(pageFile, [&] { recording->SaveToFile(pageFile); });
    }
    return 0;
}

int RunConvert(const CommandLine& line)
{
    line.ExpectOperands(2, 2);
    if (line.Has("--compress") == line.Has("--plain"))
        throw UsageError("give exactly one of --compress and --plain");
    const std::string& input = line.Operands()[0];
    const std::string& output = line.Operands()[1];
    auto source = OpenDocument(input);
    auto target = NewDocument(line.Has("--compress"));
    for (std::int32_t page = 1; page <= source->PageTotal(); ++page)
        target->AddPage(*ReadPage(*source, page, input));
    // Close the source first: the output may replace it.
    source.reset();
    SaveDocument(*target, output);
    return 0;
}

}  // namespace qrptool
