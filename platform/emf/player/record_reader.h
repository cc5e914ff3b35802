#pragma once
// Bounds-checked reading of one EMF record's fields. A read outside the
// record yields 0 and marks the reader failed, so a handler reads every field
// it needs and then asks Ok() once.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/byte_order.h"

namespace qrp::emf {

class TRecordReader {
public:
    explicit TRecordReader(std::span<const std::uint8_t> record) : Record(record) {}

    std::size_t Size() const { return Record.size(); }
    bool Ok() const { return !Failed; }
    bool Has(std::size_t offset, std::size_t bytes) const
    {
        return offset <= Record.size() && bytes <= Record.size() - offset;
    }

    std::uint8_t U8(std::size_t offset) { return Has(offset, 1) ? Record[offset] : Fail<std::uint8_t>(); }
    std::uint16_t U16(std::size_t offset) { return Has(offset, 2) ? LoadUInt16(Record.data() + offset) : Fail<std::uint16_t>(); }
    std::int16_t I16(std::size_t offset) { return static_cast<std::int16_t>(U16(offset)); }
    std::uint32_t U32(std::size_t offset) { return Has(offset, 4) ? LoadUInt32(Record.data() + offset) : Fail<std::uint32_t>(); }
    std::int32_t I32(std::size_t offset) { return static_cast<std::int32_t>(U32(offset)); }
    float F32(std::size_t offset)
    {
        const std::uint32_t bits = U32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // count bytes at offset, or an empty span (and failure) when they are not all there.
    std::span<const std::uint8_t> Bytes(std::size_t offset, std::size_t count)
    {
        if (!Has(offset, count)) {
            Failed = true;
            return {};
        }
        return Record.subspan(offset, count);
    }

    // Whether count items of itemSize bytes fit at offset (no overflow).
    bool HasArray(std::size_t offset, std::uint64_t count, std::size_t itemSize) const
    {
        return offset <= Record.size() && count <= (Record.size() - offset) / itemSize;
    }

private:
    template <typename T>
    T Fail()
    {
        Failed = true;
        return T {};
    }

    std::span<const std::uint8_t> Record;
    bool Failed = false;
};

}  // namespace qrp::emf
