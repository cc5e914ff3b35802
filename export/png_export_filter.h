#pragma once
// Pages as PNG pictures at the filter's resolution, drawn on white strip by
// strip and written row by row, so that a page of any size PNG allows takes
// a few tens of megabytes.

#include "export/page_strips.h"
#include "export/picture_export_filter.h"
#include "export/png_writer.h"

namespace qrp {

// Writes page pageNumber as a PNG picture at dotsPerInch into out; PageTooLarge
// when the page is larger than a strip-drawn picture may be.
void WritePngPage(const TMetafile& page, std::int32_t pageNumber, double dotsPerInch, TStream& out,
                  const emf::TProblemHandler& onProblem = {}, const TPngSettings& settings = {},
                  std::size_t stripBytes = kStripBytes);

class TQRPngExportFilter : public TQRPictureExportFilter {
public:
    using TQRPictureExportFilter::TQRPictureExportFilter;

    TPngSettings Settings;
    std::size_t StripBytes = kStripBytes;

    void WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const override;
};

}  // namespace qrp
