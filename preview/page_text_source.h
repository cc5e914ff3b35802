#pragma once
// The words of a page recording as the viewer and the text commands read
// them: the page played over its frame at 96 dots per inch onto the text
// device. Word boxes are in those units; the page's extent in them turns a
// box into fractions of the page, which is how the preview places marks on a
// page image of any zoom.

#include <QSizeF>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/text_layout.h"

namespace qrp {

// Box units of ReadPageText's words: pixels at 96 per inch of the page's frame.
constexpr double kPageTextUnitsPerInch = 96;

// The page's frame in those units; a frame of no size still gets a unit each way.
QSizeF PageTextExtent(const TMetafile& page);

emf::TPageText ReadPageText(const TMetafile& page, const emf::TProblemHandler& onProblem = {});

}  // namespace qrp
