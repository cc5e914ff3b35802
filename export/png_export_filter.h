#pragma once
// Pages as PNG pictures at the filter's resolution, drawn on white.

#include "export/picture_export_filter.h"

namespace qrp {

class TQRPngExportFilter : public TQRPictureExportFilter {
public:
    using TQRPictureExportFilter::TQRPictureExportFilter;

protected:
    QByteArray Picture(const TMetafile& page, std::int32_t pageNumber) const override;
};

}  // namespace qrp
