// The page image on a screen of two device pixels per logical pixel: the same
// layout, drawn at device resolution.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/canvas/canvas.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"

namespace qrp {
namespace {

// Set before the test program creates its application.
[[maybe_unused]] const bool kDoubleDensity = qputenv("QT_SCALE_FACTOR", "2");

TEST(PreviewOnADenseScreen, FrameAndShadowCoverWholeLogicalPixels)
{
    SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
    TQRPrinter printer;
    printer.StartDocument();
    printer.NewPage();
    // A one-pixel line across the page: a hairline, one device pixel thick when drawn sharp.
    printer.PageCanvas()->MoveTo(0, 500);
    printer.PageCanvas()->LineTo(794, 500);
    printer.FinishDocument();
    QWidget parent;
    parent.resize(100, 50);
    TQRPreviewImage image(&parent);
    image.SetReportPrinter(&printer);
    image.LoadPage(1);
    parent.show();
    ASSERT_TRUE(image.WaitUntilRendered());

    const QImage pixels = image.grab().toImage();
    ASSERT_EQ(image.devicePixelRatioF(), 2.0);
    ASSERT_EQ(pixels.size(), QSize(200, 100));
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    // Frame: logical columns 0 and 97, rows 0 and 47; shadow from logical column and row 98 and 48.
    for (int device : {0, 1, 194, 195})
        EXPECT_EQ(pixels.pixelColor(device, 40), black) << "column " << device;
    for (int device : {0, 1, 94, 95})
        EXPECT_EQ(pixels.pixelColor(40, device), black) << "row " << device;
    EXPECT_EQ(pixels.pixelColor(2, 2), white);
    EXPECT_EQ(pixels.pixelColor(193, 93), white);
    EXPECT_EQ(pixels.pixelColor(196, 4), black);
    EXPECT_EQ(pixels.pixelColor(4, 96), black);
    EXPECT_EQ(pixels.pixelColor(199, 99), black);
    EXPECT_NE(pixels.pixelColor(197, 3), black) << "the corner beside the shadow";
    int lineRows = 0;
    for (int y = 2; y <= 93; ++y)
        lineRows += pixels.pixelColor(100, y) != white ? 1 : 0;
    EXPECT_EQ(lineRows, 1) << "the page was drawn at device resolution, not enlarged";
    const std::size_t renderings = image.TileRenderings();
    EXPECT_GT(renderings, 0U);
    EXPECT_EQ(image.grab().toImage(), pixels) << "painted again from the tiles";
    EXPECT_EQ(image.TileRenderings(), renderings);
    SetPrinterBackend(nullptr);
    Application::ProcessMessages();
}

}  // namespace
}  // namespace qrp
