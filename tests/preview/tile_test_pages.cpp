#include "tests/preview/tile_test_pages.h"

#include "platform/canvas/metafile_canvas.h"
#include "report/qr_page_list.h"

namespace qrp::test {

std::vector<TMetafile> SampleReportPages()
{
    TQRPageList list;
    list.AttachFile(QRP_SOURCE_DIR "/examples/sample.qrp");
    std::vector<TMetafile> pages;
    for (std::int32_t n = 1; n <= list.PageTotal(); ++n)
        pages.push_back(*list.GetPage(n));
    return pages;
}

TMetafile TileBorderPage(std::uint32_t fill)
{
    TMetafileCanvas canvas(794, 1123);
    if (fill != 0xFFFFFF) {
        canvas.Brush.Color = fill;
        canvas.FillRect({0, 0, 794, 1123});
    }
    // At 100 % and one device pixel per pixel the tile borders lie on 256, 512 and 768.
    for (int border : {255, 256, 512}) {
        canvas.MoveTo(0, border);
        canvas.LineTo(794, border);
        canvas.MoveTo(border, 0);
        canvas.LineTo(border, 1123);
    }
    canvas.MoveTo(3, 5);
    canvas.LineTo(790, 1100);
    canvas.Ellipse(200, 200, 330, 300);
    canvas.Rectangle(500, 490, 530, 540);
    for (int height : {-9, -13, -40, -120}) {
        canvas.Font.Height = height;
        canvas.TextOut(230, 240 + 2 * -height, QStringLiteral("Tile borders cut ÁÉÍ text"));
        canvas.TextOut(480, 500 - height, QStringLiteral("Wg"));
    }
    return canvas.Finish();
}

}  // namespace qrp::test
