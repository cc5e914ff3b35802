#pragma once
// The base of the filters that write a picture file per page (PNG, SVG): a
// document of one page goes to the file named, one of several pages to files
// numbered by page beside it, "report.png" giving "report-0001.png", ... Each
// picture is written into a temporary file that then replaces its file.

#include "report/qr_export_filter.h"

namespace qrp {

class TStream;

class TQRPictureExportFilter : public TQRExportFilter {
public:
    using TQRExportFilter::TQRExportFilter;

    // Every page gets its number, also the only one ("OUT/page.png" gives "OUT/page-0003.png").
    bool NumberEveryPage = false;

    std::string PageFileName(std::int32_t pageNumber) const override;
    void Start(const std::string& title, std::int32_t pageCount) override;
    void WritePage(const TMetafile& page, std::int32_t pageNumber) override;
    void Finish() override;

    // Writes the picture of page pageNumber into out. It reads only the
    // filter's settings, so pages may be written side by side on threads.
    virtual void WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const = 0;

private:
    std::int32_t PageCount = 0;
    std::int32_t PagesWritten = 0;
};

}  // namespace qrp
