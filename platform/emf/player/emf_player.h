#pragma once
// Plays enhanced metafile records onto a drawing device: a device-context
// state machine (objects, saved states, mapping, transforms, clipping, paths,
// text and bitmaps) that turns each record into a few calls of TEmfDevice.
// Unknown records are skipped; malformed ones are reported and skipped, and
// playback work is bounded by the data and by the page's drawing budget.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include <QRectF>

#include "platform/emf/player/drawing_budget.h"

class QPainter;

namespace qrp {
class TMetafile;
}

namespace qrp::emf {

class TEmfDevice;

struct TPlaybackProblem {
    std::size_t RecordIndex = 0;  // 0 is the header record
    std::size_t Offset = 0;       // of the record, from the metafile's first byte
    std::uint32_t RecordType = 0;
    std::string What;
    bool StopsPlayback = false;  // nothing after this record is drawn
};

using TProblemHandler = std::function<void(const TPlaybackProblem&)>;

// Plays bytes (a whole metafile) onto device, the picture frame stretched onto
// target in the device's coordinates, x and y independently. Drawing stops,
// with a problem naming the record, where the page's work would pass its
// PageDrawingLimits.
TPageWork PlayEmf(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
                  const TProblemHandler& onProblem = {});

// Plays a page recording onto a painter in its current coordinates.
TPageWork PlayMetafile(QPainter& painter, const TMetafile& metafile, const QRectF& target,
                       const TProblemHandler& onProblem = {});

}  // namespace qrp::emf
