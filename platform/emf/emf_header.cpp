#include "platform/emf/emf_header.h"

#include "platform/byte_order.h"

namespace qrp::emf {

namespace {
TRectL LoadRect(const std::uint8_t* p)
{
    return {LoadInt32(p), LoadInt32(p + 4), LoadInt32(p + 8), LoadInt32(p + 12)};
}

TSizeL LoadSize(const std::uint8_t* p) { return {LoadInt32(p), LoadInt32(p + 4)}; }
}  // namespace

std::optional<TEmfHeader> ParseEmfHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kBaseHeaderSize)
        return std::nullopt;
    const std::uint8_t* p = bytes.data();
    if (LoadUInt32(p) != EMR_HEADER || LoadUInt32(p + 40) != ENHMETA_SIGNATURE)
        return std::nullopt;
    TEmfHeader header;
    header.RecordSize = LoadUInt32(p + 4);
    header.Bounds = LoadRect(p + 8);
    header.Frame = LoadRect(p + 24);
    header.Version = LoadUInt32(p + 44);
    header.TotalBytes = LoadUInt32(p + 48);
    header.RecordCount = LoadUInt32(p + 52);
    header.HandleCount = LoadUInt16(p + 56);
    header.DevicePixels = LoadSize(p + 72);
    header.DeviceMillimeters = LoadSize(p + 80);
    if (header.RecordSize < kBaseHeaderSize || header.RecordSize % 4 != 0 || header.TotalBytes < header.RecordSize)
        return std::nullopt;
    return header;
}

std::string FindEmfStructureFault(std::span<const std::uint8_t> bytes)
{
    const auto header = ParseEmfHeader(bytes);
    if (!header)
        return "the data does not begin with an EMF header record";
    if (header->TotalBytes != bytes.size())
        return "the header states " + std::to_string(header->TotalBytes) + " bytes, the data holds " +
               std::to_string(bytes.size());
    std::size_t offset = header->RecordSize;
    std::uint32_t lastType = EMR_HEADER;
    // Each record is at least 8 bytes long, so the walk ends within size / 8 steps.
    for (std::size_t index = 1; offset < bytes.size(); ++index) {
        const std::string where = "record " + std::to_string(index) + " at offset " + std::to_string(offset);
        if (bytes.size() - offset < kRecordPrefixSize)
            return where + ": the data ends inside the record's size field";
        lastType = LoadUInt32(bytes.data() + offset);
        const std::uint32_t size = LoadUInt32(bytes.data() + offset + 4);
        if (size < kRecordPrefixSize || size % 4 != 0)
            return where + ": invalid record size " + std::to_string(size);
        if (size > bytes.size() - offset)
            return where + ": the record of " + std::to_string(size) + " bytes runs past the end";
        if (lastType == EMR_HEADER)
            return where + ": a second header record";
        offset += size;
        if (lastType == EMR_EOF && offset != bytes.size())
            return where + ": the end-of-file record is not the last record";
    }
    if (lastType != EMR_EOF)
        return "the metafile has no end-of-file record";
    return {};
}

}  // namespace qrp::emf
