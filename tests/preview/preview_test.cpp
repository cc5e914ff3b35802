// The preview: the page image's frame and shadow, the zoom layouts, page
// numbers, the report printer's notifications, and painting that reuses the
// tiles it holds.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QScrollBar>

#include "platform/canvas/canvas.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/support/scripted_printers.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

// One printer taking A4 portrait, so pages are 2100 × 2970 tenths of a millimetre.
std::shared_ptr<TScriptedPrinterBackend> A4Printer()
{
    return test::OneScriptedPrinter({600, 600, {4800, 6800}, {}, {}, {1, 9}});
}

// Draws one page; colour fills the whole page unless it is white (an empty page).
void DrawPage(TQRPrinter& printer, TColor colour)
{
    printer.NewPage();
    if (colour == clWhite)
        return;
    printer.PageCanvas()->Brush.Color = colour;
    printer.PageCanvas()->FillRect({0, 0, printer.ToDeviceDX(printer.PageWidth()), printer.ToDeviceDY(printer.PageLength())});
}

void Produce(TQRPrinter& printer, const std::vector<TColor>& pages)
{
    printer.StartDocument();
    for (TColor colour : pages)
        DrawPage(printer, colour);
    printer.FinishDocument();
}

QImage Grab(QWidget& widget) { return widget.grab().toImage(); }

class Preview : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(A4Printer());
        Application::ProcessMessages();
    }
    void TearDown() override
    {
        Application::ProcessMessages();
        SetPrinterBackend(nullptr);
    }

    // A shown control of the size the layouts are checked at.
    std::unique_ptr<TQRPreview> Control(int width = 688, int height = 408)
    {
        auto control = std::make_unique<TQRPreview>();
        control->resize(width, height);
        control->show();
        return control;
    }
};

// The expected colour of an image of 100 × 50 at (x, y): frame, shadow, page
// inside, or the corners left to the recording.
QColor Expected100x50(int x, int y, const QColor& page, const QColor& corner)
{
    const bool frame = ((x == 0 || x == 97) && y <= 47) || ((y == 0 || y == 47) && x <= 97);
    const bool shadow = (x >= 98 && y >= 2) || (y >= 48 && x >= 2);
    if (frame || shadow)
        return kBlack;
    if (x >= 1 && x <= 96 && y >= 1 && y <= 46)
        return page;
    return corner;
}

TEST_F(Preview, PageImageDrawsFrameAndShadowOverTheRecording)
{
    TQRPrinter printer;
    Produce(printer, {clWhite, RGB(255, 0, 0)});
    QWidget parent;
    parent.resize(120, 60);
    QPalette palette;
    palette.setColor(QPalette::Window, kGreen);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    TQRPreviewImage image(&parent);
    EXPECT_EQ(image.size(), QSize(100, 50));
    image.SetReportPrinter(&printer);

    // An empty page: white inside the frame, the corners beside the shadow show the parent.
    image.LoadPage(1);
    ASSERT_TRUE(image.PageLoaded());
    ASSERT_TRUE(image.WaitUntilRendered());
    QImage pixels = Grab(parent);
    int wrong = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixels.pixelColor(x, y) != Expected100x50(x, y, kWhite, kGreen) && wrong++ < 5)
                ADD_FAILURE() << "empty page at (" << x << ", " << y << ")";
    EXPECT_EQ(pixels.pixelColor(100, 10), kGreen) << "nothing beyond the image";

    // A page filled red covers the whole image under the frame and shadow, corners included.
    image.LoadPage(2);
    ASSERT_TRUE(image.WaitUntilRendered());
    pixels = Grab(parent);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixels.pixelColor(x, y) != Expected100x50(x, y, kRed, kRed) && wrong++ < 10)
                ADD_FAILURE() << "red page at (" << x << ", " << y << ")";

    // A page the printer cannot supply: the previous one is let go, nothing is drawn.
    image.LoadPage(3);
    EXPECT_FALSE(image.PageLoaded());
    EXPECT_EQ(image.PageNumber(), 3);
    pixels = Grab(parent);
    EXPECT_EQ(pixels.pixelColor(0, 0), kGreen);
    EXPECT_EQ(pixels.pixelColor(50, 25), kGreen);
    EXPECT_EQ(pixels.pixelColor(99, 49), kGreen);
}

TEST_F(Preview, ZoomLayoutsOnAnA4Page)
{
    TQRPrinter printer;
    Produce(printer, {clWhite});
    auto control = Control();
    control->SetReportPrinter(&printer);
    EXPECT_EQ(control->Zoom(), 100) << "attaching does not lay out again";
    const TQRPreviewImage& image = *control->PageImage();

    control->ZoomWholePage();
    EXPECT_EQ(control->Zoom(), 35);
    EXPECT_EQ(control->ZoomMode(), zmWholePage);
    EXPECT_EQ(image.geometry(), QRect(203, 5, 282, 397));
    EXPECT_EQ(image.Zoom(), 35);
    QImage pixels = Grab(*control);
    const QColor background = pixels.pixelColor(100, 100);
    EXPECT_NE(background, kBlack);
    EXPECT_NE(background, kWhite);
    EXPECT_EQ(pixels.pixelColor(202, 5), background);
    EXPECT_EQ(pixels.pixelColor(203, 5), kBlack) << "frame, top left";
    EXPECT_EQ(pixels.pixelColor(204, 6), kWhite);
    EXPECT_EQ(pixels.pixelColor(203 + 279, 5 + 394), kBlack) << "frame, bottom right";
    EXPECT_EQ(pixels.pixelColor(203 + 281, 5 + 396), kBlack) << "shadow's last pixel";
    EXPECT_EQ(pixels.pixelColor(203 + 282, 5 + 396), background);
    EXPECT_EQ(control->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(control->horizontalScrollBar()->maximum(), 0);

    control->ZoomPageWidth();
    EXPECT_EQ(control->Zoom(), 78);
    EXPECT_EQ(control->ZoomMode(), zmPageWidth);
    EXPECT_EQ(image.geometry(), QRect(32, 0, 623, 880));
    pixels = Grab(*control);
    EXPECT_EQ(pixels.pixelColor(31, 0), background);
    EXPECT_EQ(pixels.pixelColor(32, 0), kBlack);
    EXPECT_EQ(control->verticalScrollBar()->maximum(), 880 - control->viewport()->height());
    EXPECT_EQ(control->horizontalScrollBar()->maximum(), 0);

    control->SetZoom(100);
    EXPECT_EQ(control->ZoomMode(), zmFixed);
    EXPECT_EQ(image.geometry(), QRect(0, 0, 798, 1127));
    EXPECT_EQ(control->horizontalScrollBar()->maximum(), 798 - control->viewport()->width());
    EXPECT_EQ(control->verticalScrollBar()->maximum(), 1127 - control->viewport()->height());
    // Scrolled to the end, the bottom right of the page is in the corner of the view.
    control->horizontalScrollBar()->setValue(control->horizontalScrollBar()->maximum());
    control->verticalScrollBar()->setValue(control->verticalScrollBar()->maximum());
    pixels = Grab(*control->viewport());
    EXPECT_EQ(pixels.pixelColor(pixels.width() - 1, pixels.height() - 1), kBlack);
    EXPECT_EQ(pixels.pixelColor(pixels.width() - 3, pixels.height() - 3), kBlack) << "frame corner";
    EXPECT_EQ(pixels.pixelColor(pixels.width() - 4, pixels.height() - 4), kWhite);
}

TEST_F(Preview, ResizingReappliesTheZoomRule)
{
    TQRPrinter printer;
    Produce(printer, {clWhite});
    auto control = Control();
    control->SetReportPrinter(&printer);
    control->ZoomWholePage();
    control->resize(250, 250);
    EXPECT_EQ(control->Zoom(), 21) << "min(250 / 794 × 95, 250 / 1123 × 95)";
    EXPECT_EQ(control->ZoomMode(), zmWholePage);

    control->SetZoom(50);
    control->resize(688, 408);
    EXPECT_EQ(control->Zoom(), 50) << "a fixed zoom only re-centres";
    EXPECT_EQ(control->PageImage()->geometry(), QRect(143, 0, 401, 565));

    control->ZoomPageWidth();
    control->resize(400, 408);
    EXPECT_EQ(control->Zoom(), 45);
    EXPECT_EQ(control->ZoomMode(), zmPageWidth);
}

TEST_F(Preview, ZoomWithoutAPrinterUsesLetterPaperInPixels)
{
    TQRPreview control;
    EXPECT_EQ(control.size(), QSize(250, 250));
    EXPECT_EQ(control.ZoomMode(), zmFixed);
    control.show();
    control.SetZoom(100);
    EXPECT_EQ(control.PageImage()->size(), QSize(220, 283));
    EXPECT_EQ(control.PageImage()->pos(), QPoint(15, 0));

    control.ZoomWholePage();
    EXPECT_EQ(control.Zoom(), 85);
    control.resize(688, 408);
    control.ZoomPageWidth();
    EXPECT_EQ(control.Zoom(), 303);

    for (int refused : {1, 2001, 0, -5}) {
        control.SetZoom(refused);
        EXPECT_EQ(control.Zoom(), 303) << refused;
        EXPECT_EQ(control.ZoomMode(), zmPageWidth) << refused;
    }
    control.SetZoom(2);
    EXPECT_EQ(control.Zoom(), 2);
    control.SetZoom(2000);
    EXPECT_EQ(control.Zoom(), 2000);
    EXPECT_EQ(control.PageImage()->size(), QSize(4322, 5592));

    // Too small a control for any zoom: the zoom stays, the mode is set for the next resize.
    control.SetZoom(50);
    control.resize(3, 3);
    control.ZoomWholePage();
    EXPECT_EQ(control.Zoom(), 50);
    EXPECT_EQ(control.ZoomMode(), zmWholePage);
    control.resize(250, 250);
    EXPECT_EQ(control.Zoom(), 85);

    control.SetPageNumber(2);
    EXPECT_EQ(control.PageNumber(), 1) << "no page changes without a printer";
}

TEST_F(Preview, PageNumbersOutsideTheDocumentAreIgnored)
{
    TQRPrinter printer;
    Produce(printer, {clWhite, clWhite, RGB(255, 0, 0)});
    auto control = Control();
    control->SetReportPrinter(&printer);
    EXPECT_EQ(control->PageNumber(), 1);
    EXPECT_TRUE(control->PageImage()->PageLoaded());
    control->SetZoom(100);
    QScrollBar& vertical = *control->verticalScrollBar();
    vertical.setValue(200);

    for (int refused : {1, 0, -1, 4}) {
        control->SetPageNumber(refused);
        EXPECT_EQ(control->PageNumber(), 1) << refused;
        EXPECT_EQ(control->PageImage()->PageNumber(), 1) << refused;
        EXPECT_EQ(vertical.value(), 200) << refused << ": no scrolling";
    }
    control->SetPageNumber(3);
    EXPECT_EQ(control->PageNumber(), 3);
    EXPECT_EQ(control->PageImage()->PageNumber(), 3);
    EXPECT_EQ(vertical.value(), 0);
    EXPECT_EQ(Grab(*control).pixelColor(10, 10), kRed);
}

TEST_F(Preview, AttachingAndDetachingTheReportPrinter)
{
    TQRPrinter first;
    TQRPrinter second;
    Produce(first, {clWhite, clWhite, clWhite});
    std::vector<TMessageTarget*> clientWhenClosed;
    first.AfterPreviewHandler = [&](TQRPrinter* printer) { clientWhenClosed.push_back(printer->ClientWindow); };
    {
        auto control = Control();
        control->SetReportPrinter(&first);
        EXPECT_EQ(first.ClientWindow, control.get());
        EXPECT_TRUE(first.PreviewOpen());
        EXPECT_EQ(control->PageImage()->ReportPrinter(), &first);
        control->SetPageNumber(3);

        // The second printer has no page yet: the control waits for page 1 of it.
        second.StartDocument();
        control->SetReportPrinter(&second);
        EXPECT_FALSE(first.PreviewOpen());
        EXPECT_EQ(first.ClientWindow, nullptr);
        EXPECT_EQ(clientWhenClosed, std::vector<TMessageTarget*> {control.get()})
            << "the preview is closed while the control is still the client";
        EXPECT_EQ(second.ClientWindow, control.get());
        EXPECT_EQ(control->PageNumber(), 1);
        EXPECT_FALSE(control->PageImage()->PageLoaded());
        DrawPage(second, clWhite);
        DrawPage(second, clWhite);
        Application::ProcessMessages();
        EXPECT_TRUE(control->PageImage()->PageLoaded()) << "page 1 of the new document arrived";
    }
    EXPECT_FALSE(second.PreviewOpen()) << "destroying the control detached it";
    EXPECT_EQ(second.ClientWindow, nullptr);
    second.FinishDocument();

    // A printer reporting to another window is left alone on detaching.
    TQRPreview control;
    control.SetReportPrinter(&first);
    TQRPreview other;
    first.ClientWindow = &other;
    control.SetReportPrinter(nullptr);
    EXPECT_EQ(first.ClientWindow, &other);
    EXPECT_TRUE(first.PreviewOpen());
    first.ClientWindow = nullptr;
}

TEST_F(Preview, PagesAvailableWhileADocumentIsProduced)
{
    TQRPrinter printer;
    auto control = Control();
    std::vector<int> available;
    control->OnPageAvailable = [&](TQRPreview* sender, int page) {
        EXPECT_EQ(sender, control.get());
        available.push_back(page);
    };
    printer.StartDocument();
    control->SetReportPrinter(&printer);
    control->SetZoom(100);
    DrawPage(printer, clWhite);
    DrawPage(printer, clWhite);  // page 1 stored
    EXPECT_FALSE(control->PageImage()->PageLoaded()) << "notifications are posted";
    Application::ProcessMessages();
    EXPECT_TRUE(control->PageImage()->PageLoaded());
    EXPECT_EQ(control->ZoomMode(), zmPageWidth) << "the awaited page switches to page width";
    EXPECT_EQ(control->Zoom(), 78);
    EXPECT_EQ(available, std::vector<int> {1});

    // Page 2 is being drawn: chosen now, it is shown once stored.
    control->SetPageNumber(2);
    EXPECT_EQ(control->PageNumber(), 2);
    EXPECT_FALSE(control->PageImage()->PageLoaded());
    control->SetZoom(50);
    DrawPage(printer, clWhite);
    printer.FinishDocument();
    Application::ProcessMessages();
    EXPECT_EQ(available, (std::vector<int> {1, 2, 3}));
    EXPECT_TRUE(control->PageImage()->PageLoaded());
    EXPECT_EQ(control->PageImage()->PageNumber(), 2);
    EXPECT_EQ(control->Zoom(), 78);

    // Another page's arrival only fires the event.
    control->SetZoom(50);
    SendMessage(control.get(), RPM_PAGEAVAILABLE, 3, 0);
    EXPECT_EQ(control->ZoomMode(), zmFixed);
    EXPECT_EQ(available.back(), 3);
}

TEST_F(Preview, NotificationsCarrySixteenBitCounts)
{
    TQRPreview control;
    std::vector<int> available;
    std::vector<int> progress;
    control.OnPageAvailable = [&](TQRPreview*, int page) { available.push_back(page); };
    control.OnProgressUpdate = [&](TQRPreview* sender, int percent) {
        EXPECT_EQ(sender, &control);
        progress.push_back(percent);
    };
    SendMessage(&control, RPM_PAGEAVAILABLE, 65537, 0);
    SendMessage(&control, RPM_PAGEAVAILABLE, 0xFFFF, 0);
    SendMessage(&control, RPM_PROGRESS, 65536 + 42, 0);
    SendMessage(&control, RPM_PRINTREQUEST, 7, 0);
    EXPECT_EQ(available, (std::vector<int> {1, 65535}));
    EXPECT_EQ(progress, std::vector<int> {42});

    TQRPrinter printer;
    control.SetReportPrinter(&printer);
    printer.SetProgress(30);
    Application::ProcessMessages();
    EXPECT_EQ(progress, (std::vector<int> {42, 30}));
    control.SetReportPrinter(nullptr);
}

TEST_F(Preview, ANotificationQueuedBeforeDetachingFindsNoPrinter)
{
    TQRPrinter printer;
    TQRPreview control;
    std::vector<int> available;
    control.OnPageAvailable = [&](TQRPreview*, int page) { available.push_back(page); };
    printer.StartDocument();
    control.SetReportPrinter(&printer);
    DrawPage(printer, clWhite);
    DrawPage(printer, clWhite);
    control.SetReportPrinter(nullptr);
    Application::ProcessMessages();
    EXPECT_EQ(available, std::vector<int> {1});
    EXPECT_FALSE(control.PageImage()->PageLoaded());
    printer.FinishDocument();
}

TEST_F(Preview, ScrollingRepaintsWithoutFetchingOrPlayingThePageAgain)
{
    test::ScratchDir dir;
    const std::string file = dir.File("hundred.qrp");
    test::WriteWholeFile(file, test::MakeDocument(100, true));
    TQRPrinter printer;
    printer.Load(file);
    auto control = Control();
    control->SetReportPrinter(&printer);
    control->ZoomPageWidth();
    control->SetPageNumber(50);
    TQRPreviewImage& image = *control->PageImage();
    ASSERT_TRUE(image.PageLoaded());
    ASSERT_TRUE(image.WaitUntilRendered());
    Grab(*control);
    const std::size_t renderings = image.TileRenderings();
    EXPECT_GT(renderings, 0U);

    // With the file cut off, any further fetch of the page would fail.
    std::filesystem::resize_file(file, 0);
    QScrollBar& vertical = *control->verticalScrollBar();
    for (int value = 0; value <= vertical.maximum(); value += 40) {
        vertical.setValue(value);
        Grab(*control);
    }
    vertical.setValue(vertical.maximum());
    ASSERT_TRUE(image.WaitUntilRendered());
    const QImage pixels = Grab(*control);
    EXPECT_EQ(pixels.pixelColor(33, control->viewport()->height() - 3), kBlack) << "the bottom of the frame";
    EXPECT_EQ(image.TileRenderings(), renderings) << "a page this small is drawn whole at once";

    control->SetZoom(100);
    ASSERT_TRUE(image.WaitUntilRendered());
    Grab(*control);
    const std::size_t atHundred = image.TileRenderings();
    EXPECT_GT(atHundred, renderings) << "a new size draws its tiles";
    control->ZoomPageWidth();
    ASSERT_TRUE(image.WaitUntilRendered());
    Grab(*control);
    EXPECT_EQ(image.TileRenderings(), atHundred) << "the tiles at page width are still held";
    EXPECT_TRUE(image.PageLoaded());
    EXPECT_ANY_THROW(printer.GetPage(50)) << "the cut-off file is really unreadable";
    control->SetReportPrinter(nullptr);
}

TEST_F(Preview, EveryPageIsLaidOutAtTheSizeItWasRecordedFor)
{
    // A Letter printer that lacks A4 and A5: loading recognises no paper.
    SetPrinterBackend(test::OneScriptedPrinter({600, 600, {4800, 6800}, {}, {}, {1}}, {"Letter", "", ""}, 1));
    test::ScratchDir dir;
    const std::vector<TMetafile> pages {test::MakePage(1, 1123, 794), test::MakePage(2, 559, 794),
                                        test::MakePage(3, 1123, 794)};
    test::WriteWholeFile(dir.File("mixed.qrp"), test::MakeDocument(pages, false));
    TQRPrinter printer;
    printer.Load(dir.File("mixed.qrp"));
    ASSERT_FALSE(printer.PaperRecognised());
    auto control = Control();
    control->SetReportPrinter(&printer);
    const TQRPreviewImage& image = *control->PageImage();

    control->SetZoom(100);
    EXPECT_EQ(image.size(), QSize(1123 + 4, 794 + 4)) << "A4 across, not squeezed into the printer's paper";
    control->SetPageNumber(2);
    EXPECT_EQ(image.size(), QSize(559 + 4, 794 + 4)) << "an A5 page at its own size, the zoom kept";
    EXPECT_EQ(control->Zoom(), 100);
    control->ZoomWholePage();
    EXPECT_EQ(control->Zoom(), 49) << "min(688 / 559 × 95, 408 / 794 × 95)";
    control->SetPageNumber(3);
    EXPECT_EQ(control->ZoomMode(), zmWholePage);
    EXPECT_EQ(control->Zoom(), 49) << "min(688 / 1123 × 95, 408 / 794 × 95)";
    EXPECT_EQ(image.size(), QSize(550 + 4, 389 + 4));
}

}  // namespace
}  // namespace qrp
