#include "platform/emf/metafile.h"

#include <algorithm>

#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/rounding.h"

namespace qrp {

namespace {
constexpr std::int32_t kHundredthMillimetersPerInch = 2540;

emf::TEmfHeader ValidatedHeader(const std::vector<std::uint8_t>& bytes)
{
    const auto header = emf::ParseEmfHeader(bytes);
    if (!header || !emf::FindEmfStructureFault(bytes).empty())
        throw EInvalidGraphic();
    return *header;
}

std::int32_t FrameExtent(std::int32_t from, std::int32_t to)
{
    const std::int64_t extent = static_cast<std::int64_t>(to) - from;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(extent, 0, std::numeric_limits<std::int32_t>::max()));
}
}  // namespace

TMetafile::TMetafile(std::vector<std::uint8_t> bytes) : Info(ValidatedHeader(bytes))
{
    Data = std::move(bytes);
}

int TMetafile::Width(int pixelsPerInch) const
{
    if (Empty())
        return 0;
    return MulDiv(FrameExtent(Info.Frame.Left, Info.Frame.Right), pixelsPerInch, kHundredthMillimetersPerInch);
}

int TMetafile::Height(int pixelsPerInch) const
{
    if (Empty())
        return 0;
    return MulDiv(FrameExtent(Info.Frame.Top, Info.Frame.Bottom), pixelsPerInch, kHundredthMillimetersPerInch);
}

void TMetafile::LoadFromStream(TStream& stream, std::int64_t maxLength)
{
    // Nothing is sized from the header before it is checked against the data that exists.
    maxLength = std::min(maxLength, stream.Size() - stream.Position());
    std::vector<std::uint8_t> bytes(emf::kBaseHeaderSize);
    if (maxLength < static_cast<std::int64_t>(emf::kRecordPrefixSize))
        throw EReadError();
    stream.ReadBuffer(bytes.data(), emf::kRecordPrefixSize);
    if (bytes[0] != emf::EMR_HEADER || bytes[1] != 0 || bytes[2] != 0 || bytes[3] != 0)
        throw EInvalidGraphic();
    if (maxLength < static_cast<std::int64_t>(emf::kBaseHeaderSize))
        throw EReadError();
    stream.ReadBuffer(bytes.data() + emf::kRecordPrefixSize, emf::kBaseHeaderSize - emf::kRecordPrefixSize);
    const auto header = emf::ParseEmfHeader(bytes);
    if (!header)
        throw EInvalidGraphic();
    if (header->TotalBytes > maxLength)
        throw EReadError();
    bytes.resize(header->TotalBytes);
    stream.ReadBuffer(bytes.data() + emf::kBaseHeaderSize, bytes.size() - emf::kBaseHeaderSize);
    *this = TMetafile(std::move(bytes));
}

void TMetafile::SaveToStream(TStream& stream) const { stream.WriteBuffer(Data.data(), Data.size()); }

void TMetafile::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, TFileMode::fmOpenReadShared);
    LoadFromStream(file, file.Size());
}

void TMetafile::SaveToFile(const std::string& fileName) const
{
    TFileStream file(fileName, TFileMode::fmCreate);
    SaveToStream(file);
}

}  // namespace qrp
