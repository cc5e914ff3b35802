// The page image drawing in the background: a page of another document
// never shows tiles of the one before, and turning to a page drawn ahead
// paints it without drawing again.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/canvas/canvas.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/support/scripted_printers.h"

namespace qrp {
namespace {

class PageImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(test::OneScriptedPrinter({600, 600, {4800, 6800}, {}, {}, {1, 9}}));
        Application::ProcessMessages();
    }
    void TearDown() override
    {
        Application::ProcessMessages();
        SetPrinterBackend(nullptr);
    }

    static void Produce(TQRPrinter& printer, const std::vector<TColor>& fills)
    {
        printer.StartDocument();
        for (TColor fill : fills) {
            printer.NewPage();
            printer.PageCanvas()->Brush.Color = fill;
            printer.PageCanvas()->FillRect(
                {0, 0, printer.ToDeviceDX(printer.PageWidth()), printer.ToDeviceDY(printer.PageLength())});
        }
        printer.FinishDocument();
    }
};

TEST_F(PageImage, APageOfAnotherDocumentNeverShowsTheTilesOfTheOneBefore)
{
    TQRPrinter red, green;
    Produce(red, {RGB(255, 0, 0)});
    Produce(green, {RGB(0, 255, 0)});
    QWidget parent;
    parent.resize(900, 1200);
    TQRPreviewImage image(&parent);
    image.resize(798, 1127);
    parent.show();
    for (int round = 0; round < 3; ++round) {
        // Same page number, same size, work for the red page possibly still running.
        image.SetReportPrinter(&red);
        image.LoadPage(1);
        image.SetReportPrinter(&green);
        image.LoadPage(1);
        ASSERT_TRUE(image.WaitUntilRendered());
        Application::ProcessMessages();
        const QImage pixels = image.grab().toImage();
        for (int y = 10; y < 1120; y += 97)
            for (int x = 10; x < 790; x += 83)
                ASSERT_EQ(pixels.pixelColor(x, y), QColor(0, 255, 0)) << x << ", " << y << " in round " << round;
    }
}

TEST_F(PageImage, TurningToAPageDrawnAheadPaintsItWithoutDrawing)
{
    TQRPrinter printer;
    Produce(printer, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    TQRPreview control;
    control.resize(688, 408);
    control.show();
    control.SetReportPrinter(&printer);
    control.SetZoom(100);
    control.SetPageNumber(2);
    TQRPreviewImage& image = *control.PageImage();
    ASSERT_TRUE(image.WaitUntilRendered());
    const std::size_t drawn = image.TileRenderings();

    control.SetPageNumber(3);
    const QImage pixels = control.grab().toImage();
    EXPECT_EQ(pixels.pixelColor(300, 200), QColor(0, 0, 255));
    ASSERT_TRUE(image.WaitUntilRendered());
    EXPECT_EQ(image.TileRenderings(), drawn) << "page 3 was drawn ahead whole, page 2 is kept";
    control.SetPageNumber(2);
    EXPECT_EQ(control.grab().toImage().pixelColor(300, 200), QColor(0, 255, 0));
    control.SetReportPrinter(nullptr);
}

}  // namespace
}  // namespace qrp
