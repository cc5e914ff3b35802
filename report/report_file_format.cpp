#include "report/report_file_format.h"

#include "platform/byte_order.h"

namespace qrp {

namespace {
constexpr std::size_t kPageCountOffset = 8;
constexpr std::size_t kDateOffset = 16;
constexpr std::size_t kCompressionOffset = 25;
}  // namespace

TReportHeaderBytes EncodeReportHeader(const TReportFileHeader& header)
{
    TReportHeaderBytes bytes {};
    StoreUInt16(bytes.data(), header.Word1);
    StoreUInt16(bytes.data() + 2, header.Word2);
    StoreInt32(bytes.data() + kPageCountOffset, header.PageCount);
    StoreDouble(bytes.data() + kDateOffset, header.Created);
    bytes[kCompressionOffset] = header.Compressed ? 1 : 0;
    return bytes;
}

TReportFileHeader DecodeReportHeader(const TReportHeaderBytes& bytes)
{
    TReportFileHeader header;
    header.Word1 = LoadUInt16(bytes.data());
    header.Word2 = LoadUInt16(bytes.data() + 2);
    header.PageCount = LoadInt32(bytes.data() + kPageCountOffset);
    header.Created = LoadDouble(bytes.data() + kDateOffset);
    header.Compressed = bytes[kCompressionOffset] != 0;
    return header;
}

}  // namespace qrp
