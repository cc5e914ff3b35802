#pragma once
// The pages of one report document as a chain of page records in a page
// stream, behind the 128-byte header: the report file layout itself.
//
// Finding a page: page 1 starts at offset 128, the last page is named by the
// file's last four bytes, and the others are reached along the chain. Every
// record a lookup passes is verified (its page number, its end inside the
// file, its closing start offset) and its start remembered, counting from the
// first and from the last page, so sequential paging in either direction and
// repeated jumps cost one move. Because every lookup seeks to a verified
// record start and never relies on where the stream stands, a lookup that
// fails on a damaged record leaves nothing to recover: the next one starts
// from the nearest remembered record, and the failed page fails again the same
// way.
//
// Loading trusts nothing: a header, chain or page record that the file does
// not bear out raises EReportFileError with what and where; page data that is
// no page recording raises the platform's "Metafile is not valid", and data
// cut short "Stream read error".

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/critical_section.h"
#include "platform/date_time.h"
#include "platform/emf/metafile.h"
#include "report/qr_stream.h"

namespace qrp {

// The byte range [Start, End) of one page record.
struct TPageRecordBounds {
    std::int64_t Start = 0;
    std::int64_t End = 0;
};

class TQRPageList {
public:
    TQRPageList() = default;
    TQRPageList(const TQRPageList&) = delete;
    TQRPageList& operator=(const TQRPageList&) = delete;

    std::int32_t PageTotal() const { return Total; }
    bool Compression() const { return Compressed; }
    // Set before a document is produced; a loaded file brings its own.
    void SetCompression(bool compression) { Compressed = compression; }

    // The stream a document is produced into; the page list owns it while attached.
    void AttachStream(std::unique_ptr<TQRStream> stream);
    std::unique_ptr<TQRStream> DetachStream();
    TQRStream* PageStream() const { return Stream.get(); }

    void ResetCount();
    void EnterListLock() { Lock.Enter(); }
    void LeaveListLock() { Lock.Leave(); }

    // Appends one page record. A page that would carry the file past the
    // format's 2^31 − 1 byte offsets raises EReportFileError before anything
    // is written.
    void AddPage(const TMetafile& page);
    // A new recording of page n, or none when n lies outside 1..PageTotal.
    std::unique_ptr<TMetafile> GetPage(std::int32_t pageNumber);
    // Writes the header with the final page count.
    void Finish();

    // Opens a report file read only as the page stream and reads its header.
    // When that fails no stream is held and PageTotal is 0.
    void AttachFile(const std::string& fileName);
    // Writes the whole stream to fileName, replacing it only once the copy is complete.
    void WriteToFile(const std::string& fileName);

    // Positions the stream at the start of page n's record.
    void SeekToPage(std::int32_t pageNumber);
    // The verified byte range of page n's record (1 ≤ n ≤ PageTotal).
    TPageRecordBounds LocateRecord(std::int32_t pageNumber);

    // The clock the header's date comes from; the local time unless replaced.
    void SetClock(std::function<TDateTime()> clock) { Clock = std::move(clock); }

private:
    void WriteHeader();
    void ReadHeader();
    void ForgetRecords();
    TQRStream& RequireStream() const;
    // size: the stream's size, read once per lookup.
    TPageRecordBounds ReadRecord(std::int64_t start, std::int32_t pageNumber, std::int64_t size);
    TPageRecordBounds LocateFromFirst(std::int32_t pageNumber, std::int64_t size);
    TPageRecordBounds LocateFromLast(std::int32_t pageNumber, std::int64_t size);
    void Remember(std::int32_t pageNumber, const TPageRecordBounds& bounds);
    std::vector<std::uint8_t> EncodePageData(const TMetafile& page) const;
    std::unique_ptr<TMetafile> DecodePageData(std::int32_t pageNumber, const TPageRecordBounds& bounds);

    TCriticalSection Lock;
    bool Compressed = false;
    std::int32_t Total = 0;
    std::unique_ptr<TQRStream> Stream;
    std::function<TDateTime()> Clock = Now;
    // Record starts already verified or implied by a verified neighbour:
    // StartsFromFirst[i] is the start of page i + 1, StartsFromLast[i] that of page Total − i.
    std::vector<std::int64_t> StartsFromFirst;
    std::vector<std::int64_t> StartsFromLast;
};

}  // namespace qrp
