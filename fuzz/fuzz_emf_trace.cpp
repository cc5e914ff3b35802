// The bytes as one page recording, played into the trace device at the size
// the viewer shows it. Recordings the container refuses end the input.

#include <cstdint>
#include <optional>

#include "fuzz/player_input.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/trace_device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<qrp::TMetafile> page = qrp::fuzz::PageRecording(data, size);
    if (!page)
        return 0;
    qrp::emf::TTraceDevice device;
    qrp::emf::PlayEmf(page->Bytes(), device, QRectF(0, 0, page->Width(), page->Height()),
                      [size](const qrp::emf::TPlaybackProblem& problem) {
                          // A problem names a record inside the recording.
                          if (problem.Offset >= size)
                              __builtin_trap();
                      });
    return 0;
}
