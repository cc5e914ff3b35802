#pragma once
// Little-endian loads and stores from byte buffers, independent of the host's
// byte order and alignment.

#include <cstdint>
#include <cstring>

namespace qrp {

inline std::uint16_t LoadUInt16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadUInt32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t LoadInt32(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadUInt32(p)); }

inline double LoadDouble(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void StoreUInt16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void StoreUInt32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void StoreInt32(std::uint8_t* p, std::int32_t value) { StoreUInt32(p, static_cast<std::uint32_t>(value)); }

inline void StoreDouble(std::uint8_t* p, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace qrp
