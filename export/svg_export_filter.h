#pragma once
// Pages as SVG pictures, vector, sized for the filter's resolution.

#include "export/picture_export_filter.h"

namespace qrp {

class TQRSvgExportFilter : public TQRPictureExportFilter {
public:
    using TQRPictureExportFilter::TQRPictureExportFilter;

    void WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const override;
};

}  // namespace qrp
