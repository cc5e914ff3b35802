// The bytes as a device-independent bitmap the way bitmap records hand it to
// the decoder: a BITMAPINFO and separate pixel bits, with the colour usage and
// alpha choice of the record.
//
// Input layout: byte 0 holds the options (bit 0: palette indices, bit 1: keep
// alpha), bytes 1–2 the BITMAPINFO's length n (little-endian, cut to what
// follows), then n bytes of BITMAPINFO, then the bits.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "platform/emf/player/dib.h"

namespace {
constexpr std::size_t kPrefixSize = 3;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kPrefixSize)
        return 0;
    qrp::emf::TDibDecodeOptions options;
    options.Usage = (data[0] & 1) != 0 ? qrp::emf::TDibColorUsage::PalIndices : qrp::emf::TDibColorUsage::RgbColors;
    options.KeepAlpha = (data[0] & 2) != 0;
    const std::span<const std::uint8_t> rest(data + kPrefixSize, size - kPrefixSize);
    const std::size_t infoSize = std::min<std::size_t>(data[1] | std::size_t {data[2]} << 8, rest.size());
    std::string problem;
    const QImage image = qrp::emf::DecodeDib(rest.first(infoSize), rest.subspan(infoSize), options, &problem);
    // A refusal comes with its reason.
    if (image.isNull() && problem.empty())
        __builtin_trap();
    return 0;
}
