#include "tools/qrptool/page_text.h"

#include <algorithm>

#include "platform/emf/player/text_device.h"

namespace qrptool {

qrp::emf::TPageText ReadPageText(const qrp::TMetafile& page, const qrp::emf::TProblemHandler& onProblem)
{
    // The frame is in 0.01 mm; a frame of no size still gets a pixel.
    const auto& frame = page.Header().Frame;
    const double width = (static_cast<double>(frame.Right) - frame.Left) / 100 / kMillimetresPerUnit;
    const double height = (static_cast<double>(frame.Bottom) - frame.Top) / 100 / kMillimetresPerUnit;
    const QRectF target(0, 0, std::max(width, 1.0), std::max(height, 1.0));
    return qrp::emf::ExtractText(page.Bytes(), target, onProblem);
}

}  // namespace qrptool
