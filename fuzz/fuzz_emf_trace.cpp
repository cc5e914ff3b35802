// The bytes as one page recording, played into the trace device at the size
// the viewer shows it. Recordings the container refuses end the input.

#include <cstdint>
#include <vector>

#include "fuzz/offscreen_application.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/trace_device.h"
#include "platform/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qrp::fuzz::EnsureOffscreenApplication();
    qrp::TMetafile page;
    try {
        page = qrp::TMetafile(std::vector<std::uint8_t>(data, data + size));
    } catch (const qrp::Exception&) {
        return 0;
    }
    qrp::emf::TTraceDevice device;
    qrp::emf::PlayEmf(page.Bytes(), device, QRectF(0, 0, page.Width(), page.Height()),
                      [size](const qrp::emf::TPlaybackProblem& problem) {
                          // A problem names a record inside the recording.
                          if (problem.Offset >= size)
                              __builtin_trap();
                      });
    return 0;
}
