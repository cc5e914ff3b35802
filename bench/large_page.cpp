// Writes a large page recording for the scale benchmark: a plan of
// WIDTH × HEIGHT millimetres (default 3000 × 4000) at 96 pixels per inch with
// a grid every 50 mm, a labelled and shaded box in every cell and a few
// curves across the whole sheet, so that drawing is spread over the page.
//
//   qrp_large_page OUT.emf [WIDTH_MM HEIGHT_MM]

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/emf/emf_records.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: qrp_large_page OUT.emf [WIDTH_MM HEIGHT_MM]\n");
        return 2;
    }
    const double widthMm = argc == 4 ? std::atof(argv[2]) : 3000;
    const double heightMm = argc == 4 ? std::atof(argv[3]) : 4000;
    if (!(widthMm >= 10 && heightMm >= 10 && widthMm <= 100000 && heightMm <= 100000)) {
        std::fprintf(stderr, "qrp_large_page: sizes from 10 to 100000 mm\n");
        return 2;
    }
    constexpr double kPixelsPerMm = 96 / 25.4;
    const auto px = [](double mm) { return static_cast<std::int32_t>(std::lround(mm * kPixelsPerMm)); };
    using namespace qrp::emf;
    TEmfWriter writer(px(widthMm), px(heightMm), 96);

    const std::uint32_t grid = writer.CreatePen(PS_SOLID, 1, 0x808080);
    writer.SelectObject(grid);
    for (double x = 0; x <= widthMm; x += 50) {
        writer.MoveTo(px(x), 0);
        writer.LineTo(px(x), px(heightMm));
    }
    for (double y = 0; y <= heightMm; y += 50) {
        writer.MoveTo(0, px(y));
        writer.LineTo(px(widthMm), px(y));
    }
    TLogFont font;
    font.Height = -px(4);
    const std::uint32_t label = writer.CreateFont(font);
    writer.SelectObject(label);
    writer.SetBkModeTransparent();
    const std::uint32_t frame = writer.CreatePen(PS_SOLID, 2, 0x000000);
    int cell = 0;
    for (double y = 0; y + 50 <= heightMm; y += 50) {
        for (double x = 0; x + 50 <= widthMm; x += 50, ++cell) {
            const std::uint32_t shade = 0x202020u * static_cast<std::uint32_t>(1 + cell % 7);
            const std::uint32_t brush = writer.CreateSolidBrush(shade | 0x00C000u);
            writer.SelectObject(brush);
            writer.SelectObject(frame);
            writer.Rectangle({px(x + 10), px(y + 20), px(x + 40), px(y + 40)});
            writer.DeleteObject(brush);
            const std::string text = "Cell " + std::to_string(cell) + " at " + std::to_string(static_cast<int>(x)) +
                                     "," + std::to_string(static_cast<int>(y)) + " mm";
            writer.TextOut(px(x + 3), px(y + 3), std::u16string(text.begin(), text.end()));
        }
    }
    const std::uint32_t curve = writer.CreatePen(PS_SOLID, 5, 0x0000C0);
    writer.SelectObject(curve);
    writer.SelectObject(writer.CreateBrush(BS_NULL, 0, 0));
    for (int ring = 1; ring <= 8; ++ring)
        writer.Ellipse({px(widthMm / 2 - ring * widthMm / 18), px(heightMm / 2 - ring * heightMm / 18),
                        px(widthMm / 2 + ring * widthMm / 18), px(heightMm / 2 + ring * heightMm / 18)});
    try {
        qrp::TMetafile(writer.Finish()).SaveToFile(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qrp_large_page: %s\n", error.what());
        return 1;
    }
    return 0;
}
