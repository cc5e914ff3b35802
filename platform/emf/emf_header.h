#pragma once
// The enhanced metafile header record and the structural rules every EMF byte
// sequence must satisfy before anything reads further into it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/emf/emf_records.h"

namespace qrp::emf {

constexpr std::uint32_t ENHMETA_SIGNATURE = 0x464D4520;  // " EMF"
constexpr std::uint32_t ENHMETA_VERSION = 0x10000;
constexpr std::size_t kBaseHeaderSize = 88;       // up to and including szlMillimeters
constexpr std::size_t kExtendedHeaderSize = 108;  // with the pixel format and szlMicrometers fields
constexpr std::size_t kRecordPrefixSize = 8;      // iType, nSize

struct TRectL {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TSizeL {
    std::int32_t cx = 0, cy = 0;
};

struct TEmfHeader {
    std::uint32_t RecordSize = 0;  // nSize of the header record itself
    TRectL Bounds;                 // device units, inclusive
    TRectL Frame;                  // 0.01 mm, inclusive
    std::uint32_t Version = 0;
    std::uint32_t TotalBytes = 0;  // nBytes: the length of the whole metafile
    std::uint32_t RecordCount = 0;
    std::uint16_t HandleCount = 0;
    TSizeL DevicePixels;
    TSizeL DeviceMillimeters;
};

// Reads the header fields from the first kBaseHeaderSize bytes. None when the
// bytes are not an EMF header: wrong record type or signature, or a header or
// total size that cannot hold it.
std::optional<TEmfHeader> ParseEmfHeader(std::span<const std::uint8_t> bytes);

// Walks the record chain of a complete metafile (bytes.size() == TotalBytes).
// Returns an empty string when every record has a size of at least 8 that is
// a multiple of 4 and lies inside the data, and the chain ends with EMR_EOF
// exactly at the end; otherwise a description of the first fault, naming the
// record's index and offset.
std::string FindEmfStructureFault(std::span<const std::uint8_t> bytes);

}  // namespace qrp::emf
