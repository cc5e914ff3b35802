// Documents through the printer object, on a printer scripted in code that
// keeps each page as a picture.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QImage>
#include <QPainter>

#include "platform/canvas/canvas.h"
#include "platform/printing/printer.h"
#include "platform/printing/printer_error.h"
#include "platform/printing/scripted_printer_backend.h"

namespace qrp {
namespace {

TScriptedPrinter Office()
{
    TDeviceMode mode;
    mode.Fields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
    mode.PaperSize = 9;
    return {{"Office", "Office driver", "usb://office"}, mode, {300, 300, {2400, 3400}, {}, {}, {9}}};
}

TScriptedPrinter Spare() { return {{"Spare", "", ""}, TDeviceMode {}, {150, 150, {1200, 1700}, {}, {}, {9}}}; }

class PrinterJobTest : public ::testing::Test {
protected:
    std::shared_ptr<TScriptedPrinterBackend> Backend =
        std::make_shared<TScriptedPrinterBackend>(std::vector {Office(), Spare()}, 0);
    TPrinter Printer {Backend};

    const TScriptedDocument& Document(std::size_t index) { return *Backend->Documents().at(index); }
};

TEST_F(PrinterJobTest, PagesReachTheDeviceInOrder)
{
    Printer.Title = "Invoices";
    Printer.SetCopies(3);
    EXPECT_EQ(Printer.Painter(), nullptr);
    Printer.BeginDoc();
    ASSERT_TRUE(Printer.Printing());
    ASSERT_NE(Printer.Painter(), nullptr);
    TCanvas& canvas = Printer.Canvas();
    EXPECT_EQ(canvas.PixelsPerInch(), 300) << "the device's resolution";
    canvas.TextOut(10, 10, "Page one");
    Printer.NewPage();
    EXPECT_EQ(&Printer.Canvas(), &canvas) << "one canvas for the whole document";
    canvas.Brush.Color = clGray;
    canvas.FillRect({100, 200, 300, 250});
    Printer.EndDoc();
    EXPECT_FALSE(Printer.Printing());
    EXPECT_FALSE(Printer.Aborted());
    EXPECT_EQ(Printer.Painter(), nullptr);

    ASSERT_EQ(Backend->Documents().size(), 1U);
    const TScriptedDocument& document = Document(0);
    EXPECT_EQ(document.Title, "Invoices");
    EXPECT_EQ(document.Device, "Office");
    ASSERT_TRUE(document.Mode);
    EXPECT_EQ(document.Mode->Copies, 3) << "the device mode at the start of the document";
    EXPECT_TRUE(document.Ended);
    ASSERT_EQ(document.Pages.size(), 2U);
    EXPECT_FALSE(document.Pages[0].boundingRect().isEmpty());
    EXPECT_EQ(document.Pages[1].boundingRect(), QRect(100, 200, 200, 50)) << "the second page's drawing";
}

TEST_F(PrinterJobTest, TheClipHoldsOnEveryPage)
{
    Printer.BeginDoc();
    TCanvas& canvas = Printer.Canvas();
    canvas.SetClipRect({0, 0, 150, 150});
    Printer.NewPage();
    canvas.Brush.Color = clBlack;
    canvas.FillRect({100, 100, 300, 300});
    Printer.EndDoc();

    QImage page(400, 400, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QPicture second = Document(0).Pages.at(1);
    second.play(&painter);
    painter.end();
    EXPECT_EQ(page.pixel(120, 120), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(200, 200), qRgb(255, 255, 255)) << "outside the clip";
}

TEST_F(PrinterJobTest, AnAbortedDocumentEnds)
{
    Printer.BeginDoc();
    Printer.Canvas().TextOut(0, 0, "Dropped");
    Printer.Abort();
    EXPECT_FALSE(Printer.Printing());
    EXPECT_TRUE(Printer.Aborted());
    EXPECT_TRUE(Document(0).Aborted);
    EXPECT_FALSE(Document(0).Ended);
    EXPECT_THROW(Printer.EndDoc(), EPrinter);

    // The next document starts afresh.
    Printer.BeginDoc();
    EXPECT_FALSE(Printer.Aborted());
    Printer.EndDoc();
    EXPECT_TRUE(Document(1).Ended);
}

TEST_F(PrinterJobTest, ThePrinterStaysWhileADocumentPrints)
{
    Printer.BeginDoc();
    for (const auto& change : std::vector<std::function<void()>> {
             [&] { Printer.SetPrinterIndex(1); },
             [&] { Printer.SetPrinter("Spare", "", "", std::nullopt); },
             [&] { Printer.SetCopies(2); },
             [&] { Printer.SetOrientation(DMORIENT_LANDSCAPE); },
             [&] { Printer.BeginDoc(); },
         }) {
        try {
            change();
            ADD_FAILURE() << "a change while printing was taken";
        } catch (const EPrinter& error) {
            EXPECT_EQ(error.Message(), "Printing in progress");
        }
    }
    EXPECT_EQ(Printer.PrinterIndex(), 0);
    Printer.EndDoc();
    Printer.SetPrinterIndex(1);
    Printer.BeginDoc();
    EXPECT_EQ(Printer.Canvas().PixelsPerInch(), 150);
    Printer.EndDoc();
    EXPECT_EQ(Document(1).Device, "Spare");
}

TEST_F(PrinterJobTest, ADocumentLeftOpenIsAbortedWithThePrinter)
{
    {
        TPrinter printer(Backend);
        printer.BeginDoc();
        printer.Canvas().TextOut(0, 0, "Half done");
    }
    EXPECT_TRUE(Document(0).Aborted);
    EXPECT_FALSE(Document(0).Ended);
}

}  // namespace
}  // namespace qrp
