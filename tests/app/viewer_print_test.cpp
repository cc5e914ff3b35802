// The viewer's print command on the offscreen platform, through Qt's real
// print dialog to the PDF file printer (no printing service is asked): what
// reaches the file, and the window while the job runs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <QApplication>
#include <QKeyEvent>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include "app/qrp_load.h"
#include "app/qrp_prew.h"
#include "controls/gauge_status_bar.h"
#include "platform/emf/emf_writer.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"
#include "tests/support/commands.h"
#include "tests/support/print_dialog_driver.h"
#include "tests/app/viewer_session.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

namespace fs = std::filesystem;

// A page w × h pixels that names itself.
TMetafile NamedPage(int n, int width, int height)
{
    emf::TEmfWriter writer(width, height);
    writer.TextOut(100, 100, u"Page number " + std::u16string(1, static_cast<char16_t>(u'0' + n)));
    return TMetafile(writer.Finish());
}

class ViewerPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CUPS_SERVER", "/nonexistent/qrp-cups.sock", 1);
        SetPrinterBackend(nullptr);
        Application::ResetTerminated();
        FirstStart = false;
    }
    void TearDown() override { Application::ResetTerminated(); }

    // A report file of pages pages, A4 upright or across.
    std::string Document(int pages, bool landscape)
    {
        std::vector<TMetafile> recordings;
        for (int n = 1; n <= pages; ++n)
            recordings.push_back(landscape ? NamedPage(n, 1123, 794) : NamedPage(n, 794, 1123));
        test::WriteWholeFile(Dir.File("report.qrp"), test::MakeDocument(recordings, true));
        return Dir.File("report.qrp");
    }

    // Opens file in the viewer; check runs once it is shown, then the window closes.
    void Run(const std::string& file, const std::function<void(TQRPrew&)>& check)
    {
        TQRPLoad load({file});
        EXPECT_TRUE(test::RunViewer(load, file, check)) << file;
    }

    test::ScratchDir Dir;
};

TEST_F(ViewerPrint, TheDialogsPrinterAndRangeReachTheLoadedDocument)
{
    const fs::path output = Dir.File("printed.pdf");
    Run(Document(4, false), [&](TQRPrew& viewer) {
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                test::ChooseOutputFile(dialog, output.string());
                test::ChoosePageRange(dialog, 2, 3);
            },
            true);
        viewer.SpeedButton3Click();
        EXPECT_FALSE(viewer.Printing());
        EXPECT_EQ(viewer.StatusBar1->Panels()[1].GaugeAttrs().Position(), 0) << "the gauge is back at 0";
        EXPECT_TRUE(viewer.SpeedButton1->isEnabled());
        EXPECT_TRUE(viewer.SpeedButton3->isEnabled());
    });
    ASSERT_TRUE(fs::exists(output));
    EXPECT_EQ(test::PdfPageCount(output), 2);
    EXPECT_EQ(test::PdfPageSize(output), "595 x 842") << "A4, as the document's first page";
    const std::string text = test::PdfText(output, 1, 2);
    const auto second = text.find("Page number 2");
    const auto third = text.find("Page number 3");
    ASSERT_NE(second, std::string::npos) << text;
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_LT(second, third);
}

TEST_F(ViewerPrint, ALandscapeDocumentPrintsAcrossUnlessTheUserTurnsIt)
{
    const fs::path across = Dir.File("across.pdf");
    const fs::path upright = Dir.File("upright.pdf");
    Run(Document(2, true), [&](TQRPrew& viewer) {
        bool offeredAcross = false;
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                offeredAcross = dialog.printer()->pageLayout().orientation() == QPageLayout::Landscape;
                test::ChooseOutputFile(dialog, across.string());
            },
            true);
        viewer.SpeedButton3Click();
        EXPECT_TRUE(offeredAcross) << "the dialog opens on the document's orientation";
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                test::ChooseOutputFile(dialog, upright.string());
                test::ChooseOrientation(dialog, false);
            },
            true);
        viewer.SpeedButton3Click();
    });
    EXPECT_EQ(test::PdfPageSize(across), "842 x 595");
    EXPECT_EQ(test::PdfPageCount(across), 2);
    EXPECT_EQ(test::PdfPageSize(upright), "595 x 842") << "the orientation picked in the dialog wins";
}

TEST_F(ViewerPrint, TheDialogOpensOnTheDocumentsPaper)
{
    // A5 upright: 148 × 210 mm recorded at 96 pixels per inch.
    test::WriteWholeFile(Dir.File("a5.qrp"), test::MakeDocument({NamedPage(1, 559, 794)}, false));
    const fs::path output = Dir.File("a5.pdf");
    QPageSize offered;
    Run(Dir.File("a5.qrp"), [&](TQRPrew& viewer) {
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                offered = dialog.printer()->pageLayout().pageSize();
                test::ChooseOutputFile(dialog, output.string());
            },
            true);
        viewer.SpeedButton3Click();
    });
    EXPECT_EQ(offered.id(), QPageSize::A5);
    EXPECT_EQ(test::PdfPageSize(output), "420 x 595") << "A5";
}

TEST_F(ViewerPrint, BeforeAnyFileIsLoadedTheEmptyReportIsGeneratedAndPrintsNothing)
{
    const fs::path output = Dir.File("empty.pdf");
    TQRPLoad load;
    bool progressShown = false;
    EXPECT_TRUE(test::RunViewer(load, "", [&](TQRPrew& viewer) {
        test::AnswerPrintDialog([&](QPrintDialog& dialog) { test::ChooseOutputFile(dialog, output.string()); }, true);
        load.QRReport1.AfterPrint = [&](TQRReport*) {
            for (QWidget* window : QApplication::topLevelWidgets())
                progressShown |= window->isVisible() && window->windowTitle() == "Printing progress";
        };
        viewer.SpeedButton3Click();
        // The request to generate again is handled by the loop, after the command.
        Application::ProcessMessages();
    }));
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(fs::exists(output)) << "no page, no job";
}

TEST_F(ViewerPrint, ACancelledDialogPrintsNothing)
{
    const fs::path output = Dir.File("never.pdf");
    Run(Document(2, false), [&](TQRPrew& viewer) {
        test::AnswerPrintDialog([&](QPrintDialog& dialog) { test::ChooseOutputFile(dialog, output.string()); }, false);
        viewer.SpeedButton3Click();
    });
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ViewerPrint, WhileAJobRunsTheWindowStaysButWhatWouldEndItWaitsAndEscapeCancels)
{
    const fs::path output = Dir.File("cancelled.pdf");
    Run(Document(6, false), [&](TQRPrew& viewer) {
        bool printing = false, openEnabled = true, closeRefused = false;
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                test::ChooseOutputFile(dialog, output.string());
                // Runs between pages of the job, as a user's actions would.
                QTimer::singleShot(0, [&] {
                    printing = viewer.Printing();
                    openEnabled = viewer.SpeedButton2->isEnabled();
                    closeRefused = !viewer.close();
                    viewer.ToolButton6Click();  // paging still works
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(&viewer, &escape);
                });
            },
            true);
        viewer.SpeedButton3Click();
        EXPECT_TRUE(printing);
        EXPECT_FALSE(openEnabled) << "loading waits for the job";
        EXPECT_TRUE(closeRefused) << "closing waits for the job";
        EXPECT_TRUE(viewer.isVisible());
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 2);
        EXPECT_TRUE(viewer.SpeedButton2->isEnabled());
    });
    EXPECT_FALSE(fs::exists(output)) << "a cancelled job writes nothing";
}

}  // namespace
}  // namespace qrp
