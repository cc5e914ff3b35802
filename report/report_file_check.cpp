#include "report/report_file_check.h"

#include "platform/file_stream.h"
#include "report/qr_page_list.h"
#include "report/report_file_error.h"
#include "report/report_file_format.h"

namespace qrp {

namespace {
void CheckHeaderWords(const std::string& fileName, std::vector<std::string>& problems)
{
    TFileStream file(fileName, TFileMode::fmOpenReadShared);
    TReportHeaderBytes bytes;
    file.ReadBuffer(bytes.data(), bytes.size());
    const TReportFileHeader header = DecodeReportHeader(bytes);
    if (header.Word1 != kReportHeaderWord1 || header.Word2 != kReportHeaderWord2)
        problems.push_back("header: the format words are " + std::to_string(header.Word1) + " and " +
                           std::to_string(header.Word2) + " instead of 3 and 305");
}

// The last record must end the file, and the file's last four bytes must name it.
void CheckTail(TQRPageList& list, std::vector<std::string>& problems)
{
    TQRStream& stream = *list.PageStream();
    const std::int64_t size = stream.Size();
    if (list.PageTotal() == 0) {
        if (size > kReportHeaderSize)
            problems.push_back(std::to_string(size - kReportHeaderSize) +
                               " bytes follow the header of a document without pages");
        return;
    }
    const TPageRecordBounds last = list.LocateRecord(list.PageTotal());
    if (last.End != size) {
        problems.push_back(std::to_string(size - last.End) + " bytes follow the record of the last page");
        return;
    }
    stream.SetPosition(size - 4);
    const std::int64_t named = stream.ReadInt32();
    if (named != last.Start)
        problems.push_back("the file's last four bytes give " + std::to_string(named) +
                           " instead of the last page's start " + std::to_string(last.Start));
}
}  // namespace

std::vector<std::string> CheckReportFile(const std::string& fileName)
{
    std::vector<std::string> problems;
    TQRPageList list;
    try {
        list.AttachFile(fileName);
        CheckHeaderWords(fileName, problems);
    } catch (const std::exception& error) {
        problems.push_back(error.what());
        return problems;
    }
    for (std::int32_t page = 1; page <= list.PageTotal(); ++page) {
        try {
            list.LocateRecord(page);
        } catch (const std::exception& error) {
            // Without this record the chain cannot be followed further.
            problems.push_back("page " + std::to_string(page) + ": " + error.what());
            return problems;
        }
        try {
            list.GetPage(page);
        } catch (const std::exception& error) {
            problems.push_back("page " + std::to_string(page) + ": " + error.what());
        }
    }
    try {
        CheckTail(list, problems);
    } catch (const std::exception& error) {
        problems.push_back(error.what());
    }
    return problems;
}

}  // namespace qrp
