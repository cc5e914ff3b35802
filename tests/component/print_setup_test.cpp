// The report component's print setup over Qt's real print dialog: what the
// dialog is offered and what the component keeps of the user's choices. No
// printing service is asked, so the PDF file printer is the only printer.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

#include "component/qr_report.h"
#include "platform/messages/application.h"
#include "platform/printing/printer.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/printer_error.h"
#include "platform/printing/qt_printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "tests/support/print_dialog_driver.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

// The page numbers a print dialog offers.
struct TOffered {
    int Min = -1, Max = -1, From = -1, To = -1;
    bool operator==(const TOffered&) const = default;
};

TOffered Offered(const QPrintDialog& dialog)
{
    return {dialog.minPage(), dialog.maxPage(), dialog.fromPage(), dialog.toPage()};
}

class PrintSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CUPS_SERVER", "/nonexistent/qrp-cups.sock", 1);
        SetPrinterBackend(nullptr);
        Report.Page.SetUnits(TQRUnit::MM);
        Report.Page.SetPaperSize(TQRPaperSize::A4);
        Report.Page.SetOrientation(poPortrait);
        test::WriteWholeFile(Dir.File("twelve.qrp"), test::MakeDocument(12, false));
    }
    void TearDown() override { SetPrinterBackend(nullptr); }

    // Runs body inside the report's modal preview, whose printer holds the
    // twelve-page document, then closes the preview.
    void WithTwelvePages(const std::function<void()>& body)
    {
        struct Runner : TMessageTarget {
            std::function<void()> Run;
            void WndProc(TMessage&) override { Run(); }
        } runner;
        Report.OnPreview = [&](TQRPrinter* printer) {
            printer->SetPreviewOpen(true);
            runner.Run = [&, printer] {
                printer->Load(Dir.File("twelve.qrp"));
                body();
                printer->SetPreviewOpen(false);
                printer->SignalPreviewClosed();
            };
            PostMessage(&runner, WM_USER + 50, 0, 0);
        };
        Report.PreviewModal();
    }

    void RunSetup()
    {
        Report.Tag = -1;
        Report.PrintSetup();
    }

    test::ScratchDir Dir;
    TQRReport Report;
};

TEST_F(PrintSetup, AFinishedDocumentOffersItsPagesAndAChosenRangeIsKept)
{
    TOffered offered;
    WithTwelvePages([&] {
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                offered = Offered(dialog);
                test::ChooseOutputFile(dialog, Dir.File("out.pdf"));
                test::ChoosePageRange(dialog, 3, 5);
                test::ChooseCopies(dialog, 2);
            },
            true);
        RunSetup();
    });
    EXPECT_EQ(offered, (TOffered {1, 12, 1, 12}));
    EXPECT_EQ(Report.Tag, 0);
    EXPECT_EQ(Report.PrinterSettings.FirstPage, 3);
    EXPECT_EQ(Report.PrinterSettings.LastPage, 5);
    EXPECT_EQ(Report.PrinterSettings.Copies, 2);
    EXPECT_EQ(Report.PrinterSettings.PrinterPosition, ApplicationPrinter().PrinterIndex());
    EXPECT_EQ(ApplicationPrinter().GetPrinter().Port, Dir.File("out.pdf"));
}

TEST_F(PrintSetup, AllPagesLeaveAnOpenRange)
{
    Report.PrinterSettings.FirstPage = 2;
    Report.PrinterSettings.LastPage = 4;
    WithTwelvePages([&] {
        test::AnswerPrintDialog(
            [&](QPrintDialog& dialog) {
                test::ChooseOutputFile(dialog, Dir.File("out.pdf"));
                test::ChooseAllPages(dialog);
            },
            true);
        RunSetup();
    });
    EXPECT_EQ(Report.Tag, 0);
    EXPECT_EQ(Report.PrinterSettings.FirstPage, 0);
    EXPECT_EQ(Report.PrinterSettings.LastPage, 0);
}

TEST_F(PrintSetup, WithoutADocumentAnyPageNumberIsOffered)
{
    TOffered offered;
    test::AnswerPrintDialog([&](QPrintDialog& dialog) { offered = Offered(dialog); }, false);
    RunSetup();
    EXPECT_EQ(offered, (TOffered {0, 9999, 0, 0}));
}

TEST_F(PrintSetup, ACancelledDialogKeepsEveryChoice)
{
    Report.PrinterSettings.FirstPage = 2;
    Report.PrinterSettings.LastPage = 4;
    Report.PrinterSettings.Copies = 3;
    test::AnswerPrintDialog(
        [&](QPrintDialog& dialog) {
            test::ChoosePageRange(dialog, 1, 1);
            test::ChooseCopies(dialog, 9);
            test::ChooseOrientation(dialog, true);
        },
        false);
    RunSetup();
    EXPECT_EQ(Report.Tag, 1);
    EXPECT_EQ(Report.PrinterSettings.FirstPage, 2);
    EXPECT_EQ(Report.PrinterSettings.LastPage, 4);
    EXPECT_EQ(Report.PrinterSettings.Copies, 3);
    EXPECT_EQ(Report.Page.Orientation(), poPortrait);
}

TEST_F(PrintSetup, OpensOnTheReportsPaperAndLandscapeChosenTurnsThePage)
{
    Report.Page.SetPaperSize(TQRPaperSize::A5);
    QPageLayout shown;
    test::AnswerPrintDialog(
        [&](QPrintDialog& dialog) {
            shown = dialog.printer()->pageLayout();
            test::ChooseOutputFile(dialog, Dir.File("out.pdf"));
            test::ChooseOrientation(dialog, true);
        },
        true);
    RunSetup();
    EXPECT_EQ(shown.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(shown.orientation(), QPageLayout::Portrait);
    EXPECT_EQ(Report.Tag, 0);
    EXPECT_EQ(Report.Page.Orientation(), poLandscape);
    EXPECT_NEAR(static_cast<double>(Report.Page.Width()), 210, 0.1) << "A5 across";
    EXPECT_NEAR(static_cast<double>(Report.Page.Length()), 148, 0.1);

    // The next setup opens in landscape.
    test::AnswerPrintDialog([&](QPrintDialog& dialog) { shown = dialog.printer()->pageLayout(); }, false);
    RunSetup();
    EXPECT_EQ(shown.orientation(), QPageLayout::Landscape);
}

TEST_F(PrintSetup, APrinterWithoutDeviceModeLeavesNoResult)
{
    TScriptedPrinter bare;
    bare.Info = {"Bare", "", ""};
    bare.Capabilities = {300, 300, {2400, 3400}, {}, {}, {9}};
    SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector {bare}, 0));
    Report.Tag = -1;
    EXPECT_THROW(Report.PrintSetup(), EPrinter);
    EXPECT_EQ(Report.Tag, -1) << "nothing is printed";
}

}  // namespace
}  // namespace qrp
