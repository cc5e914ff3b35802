#include "preview/page_text_source.h"

#include <algorithm>

#include "platform/emf/player/text_device.h"

namespace qrp {

QSizeF PageTextExtent(const TMetafile& page)
{
    // The frame is in 0.01 mm.
    constexpr double kMillimetresPerUnit = 25.4 / kPageTextUnitsPerInch;
    const auto& frame = page.Header().Frame;
    const double width = (static_cast<double>(frame.Right) - frame.Left) / 100 / kMillimetresPerUnit;
    const double height = (static_cast<double>(frame.Bottom) - frame.Top) / 100 / kMillimetresPerUnit;
    return {std::max(width, 1.0), std::max(height, 1.0)};
}

emf::TPageText ReadPageText(const TMetafile& page, const emf::TProblemHandler& onProblem)
{
    return emf::ExtractText(page.Bytes(), QRectF(QPointF(0, 0), PageTextExtent(page)), onProblem);
}

}  // namespace qrp
