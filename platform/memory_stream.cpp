#include "platform/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/exceptions.h"

namespace qrp {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    if (Pos >= Data.size())
        return 0;
    const std::size_t n = std::min(count, Data.size() - Pos);
    std::memcpy(buffer, Data.data() + Pos, n);
    Pos += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    if (Pos + count > Data.size())
        Data.resize(Pos + count);
    std::memcpy(Data.data() + Pos, buffer, count);
    Pos += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = static_cast<std::int64_t>(Pos); break;
    case TSeekOrigin::soEnd: base = static_cast<std::int64_t>(Data.size()); break;
    }
    if (offset < -base || offset > std::numeric_limits<std::int64_t>::max() - base)
        throw EStreamError("Stream seek out of range");
    Pos = static_cast<std::size_t>(base + offset);
    return base + offset;
}

void TMemoryStream::SetSize(std::int64_t newSize)
{
    if (newSize < 0)
        throw EStreamError("Stream size out of range");
    Data.resize(static_cast<std::size_t>(newSize));
    Pos = std::min(Pos, Data.size());
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes()
{
    Pos = 0;
    return std::exchange(Data, {});
}

void TMemoryStream::Clear()
{
    Data.clear();
    Data.shrink_to_fit();
    Pos = 0;
}

}  // namespace qrp
