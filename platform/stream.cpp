#include "platform/stream.h"

#include "platform/byte_order.h"
#include "platform/exceptions.h"

namespace qrp {

void TStream::SetSize(std::int64_t) {}

std::int64_t TStream::Position() { return Seek(0, TSeekOrigin::soCurrent); }

void TStream::SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

std::int64_t TStream::Size()
{
    const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError();
}

std::int32_t TStream::ReadInt32()
{
    std::uint8_t bytes[4];
    ReadBuffer(bytes, sizeof bytes);
    return LoadInt32(bytes);
}

void TStream::WriteInt32(std::int32_t value)
{
    std::uint8_t bytes[4];
    StoreInt32(bytes, value);
    WriteBuffer(bytes, sizeof bytes);
}

}  // namespace qrp
