#pragma once
// A page recording as a picture: its frame at a resolution, drawn on white.

#include <QImage>
#include <QSize>

#include "platform/emf/player/emf_player.h"

namespace qrp {
class TMetafile;
}

namespace qrp::emf {

// The frame's size in pixels at dotsPerInch: frame (0.01 mm) × dpi / 2540,
// rounded; at least 1 × 1. Frames too large for an image are refused (empty size).
QSize FramePixelSize(const TMetafile& page, double dotsPerInch);

// The page drawn into a white RGB32 image of FramePixelSize; a null image when the
// size is refused.
QImage RenderPageImage(const TMetafile& page, double dotsPerInch, const TProblemHandler& onProblem = {});

}  // namespace qrp::emf
