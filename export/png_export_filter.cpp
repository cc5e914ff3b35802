#include "export/png_export_filter.h"

#include "export/page_too_large.h"

namespace qrp {

void WritePngPage(const TMetafile& page, std::int32_t pageNumber, double dotsPerInch, TStream& out,
                  const emf::TProblemHandler& onProblem, const TPngSettings& settings, std::size_t stripBytes)
{
    TPageStrips strips(page, dotsPerInch, stripBytes);
    if (strips.PageSize().isEmpty())
        throw PageTooLarge(pageNumber);
    TPngWriter png(out, strips.PageSize(), dotsPerInch, settings);
    // Every strip plays the whole page; its problems are the same each time.
    for (int i = 0; i < strips.StripCount(); ++i) {
        const QImage& strip = strips.Draw(i, i == 0 ? onProblem : emf::TProblemHandler {});
        png.WriteRows(strip, strip.height());
    }
    png.Finish();
}

void TQRPngExportFilter::WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const
{
    WritePngPage(page, pageNumber, Resolution, out, ProblemHandler(pageNumber), Settings, StripBytes);
}

}  // namespace qrp
