#include "export/png_export_filter.h"

#include <future>
#include <optional>

#include "export/page_too_large.h"

namespace qrp {

void WritePngPage(const TMetafile& page, std::int32_t pageNumber, double dotsPerInch, TStream& out,
                  const emf::TProblemHandler& onProblem, const TPngSettings& settings, std::size_t stripBytes)
{
    TPageStrips strips(page, dotsPerInch, stripBytes);
    if (strips.PageSize().isEmpty())
        throw PageTooLarge(pageNumber);
    TPngWriter png(out, strips.PageSize(), dotsPerInch, settings);
    // Packing takes most of a large page's time, so a strip is packed on a
    // thread of its own while the next is drawn into a second buffer; the
    // last one is packed here.
    const int count = strips.StripCount();
    std::optional<TPageStrips> second;
    if (count > 1)
        second.emplace(page, dotsPerInch, stripBytes);
    std::future<void> packing;
    for (int i = 0; i < count; ++i) {
        // Every strip plays the whole page; its problems are the same each time.
        const QImage& strip = (i % 2 == 0 ? strips : *second).Draw(i, i == 0 ? onProblem : emf::TProblemHandler {});
        if (packing.valid())
            packing.get();
        if (i + 1 == count)
            png.WriteRows(strip, strip.height());
        else
            packing = std::async(std::launch::async, [&png, &strip] { png.WriteRows(strip, strip.height()); });
    }
    png.Finish();
}

void TQRPngExportFilter::WritePicture(const TMetafile& page, std::int32_t pageNumber, TStream& out) const
{
    WritePngPage(page, pageNumber, Resolution, out, ProblemHandler(pageNumber), Settings, StripBytes);
}

}  // namespace qrp
