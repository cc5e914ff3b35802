#pragma once
// A printer's per-document settings: paper, orientation, copies and their
// collation, paper source and duplex, each valid only when its DM_* flag is declared in Fields.
// Lengths are tenths of a millimetre.

#include <cstdint>

namespace qrp {

inline constexpr std::uint32_t DM_ORIENTATION = 0x00000001;
inline constexpr std::uint32_t DM_PAPERSIZE = 0x00000002;
inline constexpr std::uint32_t DM_PAPERLENGTH = 0x00000004;
inline constexpr std::uint32_t DM_PAPERWIDTH = 0x00000008;
inline constexpr std::uint32_t DM_COPIES = 0x00000100;
inline constexpr std::uint32_t DM_DEFAULTSOURCE = 0x00000200;
inline constexpr std::uint32_t DM_DUPLEX = 0x00001000;
inline constexpr std::uint32_t DM_COLLATE = 0x00008000;

inline constexpr std::int16_t DMORIENT_PORTRAIT = 1;
inline constexpr std::int16_t DMORIENT_LANDSCAPE = 2;
inline constexpr std::int16_t DMDUP_SIMPLEX = 1;
inline constexpr std::int16_t DMDUP_VERTICAL = 2;
inline constexpr std::int16_t DMDUP_HORIZONTAL = 3;
inline constexpr std::int16_t DMCOLLATE_FALSE = 0;
inline constexpr std::int16_t DMCOLLATE_TRUE = 1;

struct TDeviceMode {
    std::uint32_t Fields = 0;
    std::int16_t Orientation = DMORIENT_PORTRAIT;
    std::int16_t PaperSize = 0;     // a paper code: 9 is A4, 256 a size given by width and length
    std::int16_t PaperLength = 0;
    std::int16_t PaperWidth = 0;
    std::int16_t Copies = 1;
    std::int16_t DefaultSource = 0; // a paper source code; bit 0x100 marks the driver's own bins
    std::int16_t Duplex = DMDUP_SIMPLEX;
    std::int16_t Collate = DMCOLLATE_TRUE;  // copies come out as whole sets

    bool Declares(std::uint32_t fields) const { return (Fields & fields) == fields; }
    bool operator==(const TDeviceMode&) const = default;
};

}  // namespace qrp
