#pragma once
// A growable stream held in memory. The position may stand past the end; a
// write there fills the gap with zeros.

#include <cstdint>
#include <vector>

#include "platform/stream.h"

namespace qrp {

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> data) : Data(std::move(data)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;

    const std::vector<std::uint8_t>& Bytes() const { return Data; }
    std::vector<std::uint8_t> TakeBytes();
    void Clear();

private:
    std::vector<std::uint8_t> Data;
    std::size_t Pos = 0;
};

}  // namespace qrp
