#pragma once
// A page recording: the exact bytes of one enhanced metafile, validated on the
// way in. Writing a recording gives back the bytes it was read from.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/emf/emf_header.h"

namespace qrp {

class TStream;

class TMetafile {
public:
    static constexpr int kDefaultPixelsPerInch = 96;

    TMetafile() = default;
    // Raises EInvalidGraphic unless bytes are a structurally sound EMF.
    explicit TMetafile(std::vector<std::uint8_t> bytes);

    bool Empty() const { return Data.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return Data; }
    const emf::TEmfHeader& Header() const { return Info; }

    // The frame size in pixels at the given resolution (the size set when the
    // page was recorded, for a recording made at that resolution).
    int Width(int pixelsPerInch = kDefaultPixelsPerInch) const;
    int Height(int pixelsPerInch = kDefaultPixelsPerInch) const;

    // Reads one metafile from the stream's position and consumes exactly the
    // length its header states. That length is bounded by maxLength and by
    // the stream's size: a header that claims more is data cut short. Raises EInvalidGraphic for data that is
    // not an EMF and EReadError for data cut short; the recording is left
    // unchanged then.
    void LoadFromStream(TStream& stream, std::int64_t maxLength = std::numeric_limits<std::int64_t>::max());
    // Writes the bytes whole or raises EWriteError. An empty recording writes nothing.
    void SaveToStream(TStream& stream) const;

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

private:
    std::vector<std::uint8_t> Data;
    emf::TEmfHeader Info;
};

}  // namespace qrp
