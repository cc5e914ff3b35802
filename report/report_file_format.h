#pragma once
// The report file layout: a 128-byte header, then one page record per page,
// back to back, chained by absolute 32-bit offsets.
//
//   header   0: uint16 3, 2: uint16 305, 8: int32 page count,
//           16: double local date-time, 25: uint8 compression flag, zeros elsewhere
//   record   0: int32 page number (1-based), 4: int32 offset of the record's end,
//            8: page data (EMF bytes, or int32 length U + splay-tree code),
//      end − 4: int32 offset of the record's start

#include <array>
#include <cstdint>
#include <limits>

#include "platform/date_time.h"

namespace qrp {

constexpr std::int64_t kReportHeaderSize = 128;
constexpr std::uint16_t kReportHeaderWord1 = 3;
constexpr std::uint16_t kReportHeaderWord2 = 305;
constexpr std::int64_t kMaxReportFileSize = std::numeric_limits<std::int32_t>::max();
// Page number and end offset before the page data, start offset after it.
constexpr std::int64_t kPageRecordFraming = 12;

struct TReportFileHeader {
    std::uint16_t Word1 = kReportHeaderWord1;
    std::uint16_t Word2 = kReportHeaderWord2;
    std::int32_t PageCount = 0;
    TDateTime Created = 0;
    bool Compressed = false;
};

using TReportHeaderBytes = std::array<std::uint8_t, kReportHeaderSize>;

TReportHeaderBytes EncodeReportHeader(const TReportFileHeader& header);
TReportFileHeader DecodeReportHeader(const TReportHeaderBytes& bytes);

}  // namespace qrp
