#include "report/qr_page_list.h"

#include <mutex>

#include "platform/file_replace.h"
#include "report/qr_compress.h"
#include "report/report_file_error.h"
#include "report/report_file_format.h"

namespace qrp {

namespace {
// The smallest page recording: an EMF header record and an end-of-file record.
constexpr std::int64_t kMinRecordingSize = 108;
constexpr std::int64_t kMinPlainRecordSize = kPageRecordFraming + kMinRecordingSize;
// A compressed page: its length word and at least one bit per coded byte.
constexpr std::int64_t kMinCompressedRecordSize = kPageRecordFraming + 4 + (kMinRecordingSize + 7) / 8;

std::string Damaged(const std::string& what) { return "Damaged report file: " + what; }

std::string RecordAt(std::int32_t pageNumber, std::int64_t start)
{
    return "the record of page " + std::to_string(pageNumber) + " at offset " + std::to_string(start);
}
}  // namespace

void TQRPageList::AttachStream(std::unique_ptr<TQRStream> stream)
{
    std::lock_guard guard(Lock);
    Stream = std::move(stream);
    ForgetRecords();
}

std::unique_ptr<TQRStream> TQRPageList::DetachStream()
{
    std::lock_guard guard(Lock);
    ForgetRecords();
    return std::move(Stream);
}

void TQRPageList::ResetCount()
{
    std::lock_guard guard(Lock);
    Total = 0;
    ForgetRecords();
}

void TQRPageList::ForgetRecords()
{
    StartsFromFirst.clear();
    StartsFromLast.clear();
}

TQRStream& TQRPageList::RequireStream() const
{
    if (!Stream)
        throw Exception("The report document has no page stream");
    return *Stream;
}

void TQRPageList::WriteHeader()
{
    TReportFileHeader header;
    header.PageCount = Total;
    header.Created = Clock();
    header.Compressed = Compressed;
    const TReportHeaderBytes bytes = EncodeReportHeader(header);
    TQRStream& stream = RequireStream();
    stream.SetPosition(0);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TQRPageList::ReadHeader()
{
    TQRStream& stream = RequireStream();
    const std::int64_t size = stream.Size();
    if (size < kReportHeaderSize)
        throw EReportFileError("Not a report file: it is shorter than the 128-byte header (" + std::to_string(size) +
                               " bytes)");
    TReportHeaderBytes bytes;
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), bytes.size());
    const TReportFileHeader header = DecodeReportHeader(bytes);
    if (header.PageCount < 0)
        throw EReportFileError(Damaged("the header gives a negative page count (" + std::to_string(header.PageCount) + ")"));
    const std::int64_t minRecord = header.Compressed ? kMinCompressedRecordSize : kMinPlainRecordSize;
    const std::int64_t mostPages = (size - kReportHeaderSize) / minRecord;
    if (header.PageCount > mostPages)
        throw EReportFileError(Damaged("the header gives " + std::to_string(header.PageCount) +
                                       " pages, but the file can hold at most " + std::to_string(mostPages)));
    Total = header.PageCount;
    Compressed = header.Compressed;
}

void TQRPageList::Finish()
{
    std::lock_guard guard(Lock);
    WriteHeader();
}

void TQRPageList::AttachFile(const std::string& fileName)
{
    std::lock_guard guard(Lock);
    Stream.reset();
    ForgetRecords();
    Total = 0;
    Compressed = false;
    try {
        Stream = TQRStream::OpenOnFile(fileName);
        ReadHeader();
    } catch (...) {
        Stream.reset();
        Total = 0;
        Compressed = false;
        throw;
    }
}

void TQRPageList::WriteToFile(const std::string& fileName)
{
    std::lock_guard guard(Lock);
    TQRStream& stream = RequireStream();
    WriteFileReplacing(fileName, [&stream](TStream& file) { stream.CopyInto(file); });
}

std::vector<std::uint8_t> TQRPageList::EncodePageData(const TMetafile& page) const
{
    if (!Compressed)
        return page.Bytes();
    TMemoryStream code;
    const auto& bytes = page.Bytes();
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), kMaxReportFileSize));
    code.WriteInt32(length);
    TQRCompress compressor(code, true);
    compressor.CompressBytes(bytes.data(), bytes.size());
    compressor.Finish();
    return code.TakeBytes();
}

void TQRPageList::AddPage(const TMetafile& page)
{
    std::lock_guard guard(Lock);
    TQRStream& stream = RequireStream();
    if (page.Empty())
        throw EInvalidGraphic();
    const std::vector<std::uint8_t> data = EncodePageData(page);

    // Offsets are 32-bit: refuse a page the format cannot address before touching anything.
    const std::int64_t start = std::max(stream.Size(), kReportHeaderSize);
    if (start + kPageRecordFraming + static_cast<std::int64_t>(data.size()) > kMaxReportFileSize)
        throw EReportFileError("The report document cannot grow past the 2 GB limit of a report file: page " +
                               std::to_string(Total + 1) + " was not added");

    ++Total;
    if (Total == 1)
        WriteHeader();
    stream.Seek(0, TSeekOrigin::soEnd);
    const std::int64_t recordStart = stream.Position();
    stream.WriteInt32(Total);
    const std::int64_t endField = stream.Position();
    stream.WriteInt32(static_cast<std::int32_t>(endField));
    stream.WriteBuffer(data.data(), data.size());
    stream.WriteInt32(static_cast<std::int32_t>(recordStart));
    const std::int64_t recordEnd = stream.Position();
    stream.SetPosition(endField);
    stream.WriteInt32(static_cast<std::int32_t>(recordEnd));
    stream.SetPosition(recordEnd);

    StartsFromLast.clear();
    if (StartsFromFirst.size() == static_cast<std::size_t>(Total - 1))
        StartsFromFirst.push_back(recordStart);
}

TPageRecordBounds TQRPageList::ReadRecord(std::int64_t start, std::int32_t pageNumber, std::int64_t size)
{
    TQRStream& stream = RequireStream();
    if (start < kReportHeaderSize || start > size - kPageRecordFraming)
        throw EReportFileError(Damaged(RecordAt(pageNumber, start) + " lies outside the file (" +
                                       std::to_string(size) + " bytes)"));
    stream.SetPosition(start);
    const std::int32_t number = stream.ReadInt32();
    const std::int64_t end = stream.ReadInt32();
    if (number != pageNumber)
        throw EReportFileError(Damaged("the record at offset " + std::to_string(start) + " has page number " +
                                       std::to_string(number) + " instead of " + std::to_string(pageNumber)));
    if (end <= start + kPageRecordFraming || end > size)
        throw EReportFileError(Damaged(RecordAt(pageNumber, start) + " claims to end at offset " +
                                       std::to_string(end) + ", which the file (" + std::to_string(size) +
                                       " bytes) does not allow"));
    stream.SetPosition(end - 4);
    const std::int64_t closingStart = stream.ReadInt32();
    if (closingStart != start)
        throw EReportFileError(Damaged(RecordAt(pageNumber, start) + " closes with the start offset " +
                                       std::to_string(closingStart)));
    return {start, end};
}

void TQRPageList::Remember(std::int32_t pageNumber, const TPageRecordBounds& bounds)
{
    const auto known = static_cast<std::int32_t>(StartsFromFirst.size());
    if (pageNumber == known && pageNumber < Total)
        StartsFromFirst.push_back(bounds.End);
}

TPageRecordBounds TQRPageList::LocateFromFirst(std::int32_t pageNumber, std::int64_t size)
{
    if (StartsFromFirst.empty())
        StartsFromFirst.push_back(kReportHeaderSize);
    for (;;) {
        const auto known = static_cast<std::int32_t>(StartsFromFirst.size());
        const std::int32_t page = std::min(pageNumber, known);
        const TPageRecordBounds bounds = ReadRecord(StartsFromFirst[static_cast<std::size_t>(page - 1)], page, size);
        if (page == pageNumber)
            return bounds;
        Remember(page, bounds);
    }
}

TPageRecordBounds TQRPageList::LocateFromLast(std::int32_t pageNumber, std::int64_t size)
{
    TQRStream& stream = RequireStream();
    if (StartsFromLast.empty()) {
        stream.SetPosition(size - 4);
        StartsFromLast.push_back(stream.ReadInt32());
        const TPageRecordBounds last = ReadRecord(StartsFromLast.front(), Total, size);
        if (last.End != size)
            throw EReportFileError(Damaged(RecordAt(Total, last.Start) + " is the last page but ends at offset " +
                                           std::to_string(last.End) + " of " + std::to_string(size)));
    }
    for (;;) {
        const auto stepsFromLast = static_cast<std::size_t>(Total - pageNumber);
        if (stepsFromLast < StartsFromLast.size())
            return ReadRecord(StartsFromLast[stepsFromLast], pageNumber, size);
        const std::int32_t page = Total - static_cast<std::int32_t>(StartsFromLast.size()) + 1;
        const std::int64_t start = StartsFromLast.back();
        // The offset in front of this record is the start of the one before it.
        if (start < kReportHeaderSize + kPageRecordFraming)
            throw EReportFileError(Damaged(RecordAt(page, start) + " leaves no room for page " + std::to_string(page - 1)));
        stream.SetPosition(start - 4);
        const std::int64_t previousStart = stream.ReadInt32();
        const TPageRecordBounds previous = ReadRecord(previousStart, page - 1, size);
        if (previous.End != start)
            throw EReportFileError(Damaged(RecordAt(page - 1, previousStart) + " ends at offset " +
                                           std::to_string(previous.End) + ", not where page " + std::to_string(page) +
                                           " begins (" + std::to_string(start) + ")"));
        StartsFromLast.push_back(previousStart);
    }
}

TPageRecordBounds TQRPageList::LocateRecord(std::int32_t pageNumber)
{
    std::lock_guard guard(Lock);
    if (pageNumber < 1 || pageNumber > Total)
        throw Exception("Page " + std::to_string(pageNumber) + " is not in the document");
    const std::int64_t size = RequireStream().Size();
    const auto fromFirst = static_cast<std::int32_t>(std::max<std::size_t>(StartsFromFirst.size(), 1));
    const std::int32_t fromLast = Total - static_cast<std::int32_t>(StartsFromLast.size()) + 1;
    if (pageNumber <= fromFirst)
        return LocateFromFirst(pageNumber, size);
    if (!StartsFromLast.empty() && pageNumber >= fromLast)
        return LocateFromLast(pageNumber, size);
    // Walk from whichever known record lies nearer.
    const std::int32_t stepsForward = pageNumber - fromFirst;
    const std::int32_t stepsBack = StartsFromLast.empty() ? Total - pageNumber + 1 : fromLast - pageNumber;
    return stepsForward <= stepsBack ? LocateFromFirst(pageNumber, size) : LocateFromLast(pageNumber, size);
}

void TQRPageList::SeekToPage(std::int32_t pageNumber)
{
    std::lock_guard guard(Lock);
    RequireStream().SetPosition(LocateRecord(pageNumber).Start);
}

std::unique_ptr<TMetafile> TQRPageList::DecodePageData(std::int32_t pageNumber, const TPageRecordBounds& bounds)
{
    TQRStream& stream = RequireStream();
    const std::int64_t dataStart = bounds.Start + 8;
    const std::int64_t dataEnd = bounds.End - 4;
    const std::int64_t dataLength = dataEnd - dataStart;
    auto page = std::make_unique<TMetafile>();
    stream.SetPosition(dataStart);
    if (!Compressed) {
        page->LoadFromStream(stream, dataLength);
    } else {
        const std::int64_t codeLength = dataLength - 4;
        const std::int32_t length = codeLength >= 0 ? stream.ReadInt32() : -1;
        // Every coded byte takes at least one bit, which bounds what the code can hold.
        if (length < 0 || length > 8 * codeLength)
            throw EReportFileError(Damaged("page " + std::to_string(pageNumber) + " claims " + std::to_string(length) +
                                           " bytes of page data, which its " + std::to_string(std::max<std::int64_t>(codeLength, 0)) +
                                           " code bytes cannot hold"));
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        TQRCompress compressor(stream, false);
        compressor.SetInputLimit(codeLength);
        compressor.ExpandBytes(bytes.data(), bytes.size());
        compressor.Finish();
        TMemoryStream decoded(std::move(bytes));
        page->LoadFromStream(decoded, length);
        if (decoded.Position() != length)
            throw EReportFileError(Damaged("the decoded data of page " + std::to_string(pageNumber) +
                                           " is longer than its page recording"));
    }
    if (stream.Position() != dataEnd)
        throw EReportFileError(Damaged("the page data of page " + std::to_string(pageNumber) +
                                       " does not fill its record"));
    return page;
}

std::unique_ptr<TMetafile> TQRPageList::GetPage(std::int32_t pageNumber)
{
    if (pageNumber < 1 || pageNumber > Total)
        return nullptr;
    std::lock_guard guard(Lock);
    const TPageRecordBounds bounds = LocateRecord(pageNumber);
    auto page = DecodePageData(pageNumber, bounds);
    RequireStream().SetPosition(bounds.End);
    Remember(pageNumber, bounds);
    return page;
}

}  // namespace qrp
