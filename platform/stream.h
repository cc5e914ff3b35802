#pragma once
// The abstract byte stream and its two everyday kinds' common helpers.
// Read and Write return short counts instead of failing; ReadBuffer and
// WriteBuffer are for callers that need whole blocks and raise on a short count.

#include <cstddef>
#include <cstdint>

namespace qrp {

enum class TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the new position. Seeking before the start raises EStreamError.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    // Does nothing unless a kind of stream can change its size.
    virtual void SetSize(std::int64_t newSize);

    std::int64_t Position();
    void SetPosition(std::int64_t position);
    // Found by seeking to the end and back; the position does not change.
    std::int64_t Size();

    void ReadBuffer(void* buffer, std::size_t count);         // EReadError when short
    void WriteBuffer(const void* buffer, std::size_t count);  // EWriteError when short

    // Little-endian signed 32-bit integers, the framing unit of the file formats.
    std::int32_t ReadInt32();
    void WriteInt32(std::int32_t value);
};

}  // namespace qrp
