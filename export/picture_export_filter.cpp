#include "export/picture_export_filter.h"

#include <cstdio>
#include <filesystem>

#include "platform/file_replace.h"

namespace qrp {

std::string TQRPictureExportFilter::PageFileName(std::int32_t pageNumber) const
{
    if (PageCount == 1 && !NumberEveryPage)
        return FileName();
    const std::filesystem::path name(FileName());
    char number[16];
    std::snprintf(number, sizeof number, "-%04d", static_cast<int>(pageNumber));
    return (name.parent_path() / (name.stem().string() + number + name.extension().string())).string();
}

void TQRPictureExportFilter::Start(const std::string&, std::int32_t pageCount)
{
    PageCount = pageCount;
    PagesWritten = 0;
}

void TQRPictureExportFilter::WritePage(const TMetafile& page, std::int32_t pageNumber)
{
    WriteFileReplacing(PageFileName(pageNumber), [&](TStream& file) { WritePicture(page, pageNumber, file); });
    ++PagesWritten;
}

void TQRPictureExportFilter::Finish()
{
    if (PagesWritten == 0)
        throw EQRExportError("The report has no pages to export");
}

}  // namespace qrp
