#pragma once
// Pages as SVG pictures, vector, sized for the filter's resolution.

#include "export/picture_export_filter.h"

namespace qrp {

class TQRSvgExportFilter : public TQRPictureExportFilter {
public:
    using TQRPictureExportFilter::TQRPictureExportFilter;

protected:
    QByteArray Picture(const TMetafile& page, std::int32_t pageNumber) const override;
};

}  // namespace qrp
