#include "report/report_file_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/byte_order.h"
#include "platform/file_stream.h"
#include "report/qr_page_list.h"
#include "report/report_file_error.h"
#include "report/report_file_format.h"

namespace qrp {

namespace {
constexpr std::size_t kCompressionFlagOffset = 25;

// Up to count bytes from offset; fewer at the end of the file.
std::size_t ReadAt(TFileStream& file, std::int64_t offset, std::uint8_t* buffer, std::size_t count)
{
    file.SetPosition(offset);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = file.Read(buffer + done, count - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool HasFormatWords(const TReportFileHeader& header)
{
    return header.Word1 == kReportHeaderWord1 && header.Word2 == kReportHeaderWord2;
}

// The header as the report printer writes it, the format words aside: zero
// reserved bytes, a compression flag of 0 or 1, a page count and a date.
bool IsShapedLikeAReportHeader(const TReportHeaderBytes& bytes)
{
    const auto zero = [&](std::size_t from, std::size_t to) {
        return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                           bytes.begin() + static_cast<std::ptrdiff_t>(to), [](std::uint8_t b) { return b == 0; });
    };
    const TReportFileHeader header = DecodeReportHeader(bytes);
    return zero(4, 8) && zero(12, 16) && zero(24, 25) && zero(26, bytes.size()) &&
           bytes[kCompressionFlagOffset] <= 1 && header.PageCount >= 0 && std::isfinite(header.Created) &&
           header.Created > 0;
}

// Page 1's record framed where the format puts it: page number 1 at offset
// 128, an end inside the file, and the start offset 128 closing it.
bool HasFirstRecordAt128(TFileStream& file, std::int64_t size)
{
    std::uint8_t head[8];
    if (ReadAt(file, kReportHeaderSize, head, sizeof head) != sizeof head)
        return false;
    const std::int64_t end = LoadInt32(head + 4);
    if (LoadInt32(head) != 1 || end < kReportHeaderSize + kPageRecordFraming || end > size)
        return false;
    std::uint8_t closing[4];
    return ReadAt(file, end - 4, closing, sizeof closing) == sizeof closing && LoadInt32(closing) == kReportHeaderSize;
}

// The files most often taken for report files, by their first bytes.
std::optional<std::string> OtherKnownFormat(const std::uint8_t* bytes, std::size_t count)
{
    const auto startsWith = [&](std::size_t offset, const char* text) {
        const std::size_t length = std::strlen(text);
        return offset + length <= count && std::memcmp(bytes + offset, text, length) == 0;
    };
    if (startsWith(0, "%PDF-"))
        return "it is a PDF document";
    if (startsWith(0, "\x89PNG\r\n\x1a\n"))
        return "it is a PNG picture";
    if (startsWith(40, " EMF"))
        return "it is an EMF page recording";
    if (startsWith(0, "<?xml") || startsWith(0, "<svg"))
        return "it is an XML or SVG document";
    return std::nullopt;
}

void Add(std::vector<TCheckProblem>& problems, TCheckSeverity severity, std::string text, std::string note = {})
{
    problems.push_back({severity, std::move(text), std::move(note)});
}

void CheckHeaderWords(const std::string& fileName, std::vector<TCheckProblem>& problems)
{
    TFileStream file(fileName, TFileMode::fmOpenReadShared);
    TReportHeaderBytes bytes;
    file.ReadBuffer(bytes.data(), bytes.size());
    const TReportFileHeader header = DecodeReportHeader(bytes);
    if (!HasFormatWords(header))
        Add(problems, TCheckSeverity::Oddity,
            "header: the format words are " + std::to_string(header.Word1) + " and " + std::to_string(header.Word2) +
                " instead of 3 and 305",
            "readers do not check them");
}

// Whether the bytes at offset hold a framed record of page pageNumber: a
// page the header does not count.
bool HoldsRecordOf(TQRStream& stream, std::int64_t offset, std::int32_t pageNumber)
{
    const std::int64_t size = stream.Size();
    if (offset > size - kPageRecordFraming)
        return false;
    stream.SetPosition(offset);
    const std::int32_t number = stream.ReadInt32();
    const std::int64_t end = stream.ReadInt32();
    if (number != pageNumber || end <= offset + kPageRecordFraming || end > size)
        return false;
    stream.SetPosition(end - 4);
    return stream.ReadInt32() == offset;
}

// The last record must end the file, and the file's last four bytes must name
// it. Bytes past the end matter to readers only when they look a page up from
// the file's end, which they do in a document of two pages or more: page 1
// they always find at offset 128, and a header of no pages is all they read.
void CheckTail(TQRPageList& list, std::vector<TCheckProblem>& problems)
{
    TQRStream& stream = *list.PageStream();
    const std::int64_t size = stream.Size();
    const std::int32_t total = list.PageTotal();
    const std::int64_t end = total == 0 ? kReportHeaderSize : list.LocateRecord(total).End;
    if (end != size) {
        const std::string what = total == 0 ? std::to_string(size - end) + " bytes follow the header of a document without pages"
                                            : std::to_string(size - end) + " bytes follow the record of the last page";
        if (HoldsRecordOf(stream, end, total + 1))
            Add(problems, TCheckSeverity::Damage, what,
                "they begin with a record of page " + std::to_string(total + 1) + ", which the header's count of " +
                    std::to_string(total) + (total == 1 ? " page" : " pages") + " leaves out");
        else if (total >= 2)
            Add(problems, TCheckSeverity::Damage, what,
                "readers take the file's last four bytes for the start of the last page");
        else
            Add(problems, TCheckSeverity::Oddity, what, "readers never read them");
        return;
    }
    if (total == 0)
        return;
    const TPageRecordBounds last = list.LocateRecord(total);
    stream.SetPosition(size - 4);
    const std::int64_t named = stream.ReadInt32();
    if (named != last.Start)
        Add(problems, TCheckSeverity::Damage,
            "the file's last four bytes give " + std::to_string(named) + " instead of the last page's start " +
                std::to_string(last.Start));
}
}  // namespace

std::optional<std::string> WhyNotAReportFile(const std::string& fileName)
{
    TFileStream file(fileName, TFileMode::fmOpenReadShared);
    const std::int64_t size = file.Size();
    TReportHeaderBytes bytes {};
    const std::size_t count = ReadAt(file, 0, bytes.data(), bytes.size());
    if (const auto other = OtherKnownFormat(bytes.data(), count))
        return other;
    if (size < kReportHeaderSize)
        return size == 0 ? std::string("it is empty")
                         : "it is shorter than the 128-byte header: " + std::to_string(size) + " bytes";
    const TReportFileHeader header = DecodeReportHeader(bytes);
    if (HasFormatWords(header) || IsShapedLikeAReportHeader(bytes) ||
        (header.PageCount > 0 && HasFirstRecordAt128(file, size)))
        return std::nullopt;
    return "it does not begin with the format words 3 and 305, nor with a header like a report file's";
}

std::vector<TCheckProblem> InspectReportFile(const std::string& fileName)
{
    std::vector<TCheckProblem> problems;
    TQRPageList list;
    try {
        if (const auto reason = WhyNotAReportFile(fileName)) {
            Add(problems, TCheckSeverity::Damage, "not a report file (" + *reason + ")");
            return problems;
        }
        list.AttachFile(fileName);
        CheckHeaderWords(fileName, problems);
    } catch (const std::exception& error) {
        Add(problems, TCheckSeverity::Damage, error.what());
        return problems;
    }
    for (std::int32_t page = 1; page <= list.PageTotal(); ++page) {
        try {
            list.LocateRecord(page);
        } catch (const std::exception& error) {
            // Without this record the chain cannot be followed further.
            Add(problems, TCheckSeverity::Damage, "page " + std::to_string(page) + ": " + error.what());
            return problems;
        }
        try {
            list.GetPage(page);
        } catch (const std::exception& error) {
            Add(problems, TCheckSeverity::Damage, "page " + std::to_string(page) + ": " + error.what());
        }
    }
    try {
        CheckTail(list, problems);
    } catch (const std::exception& error) {
        Add(problems, TCheckSeverity::Damage, error.what());
    }
    return problems;
}

std::vector<std::string> CheckReportFile(const std::string& fileName)
{
    std::vector<std::string> texts;
    for (const TCheckProblem& problem : InspectReportFile(fileName))
        texts.push_back(problem.Text);
    return texts;
}

}  // namespace qrp
