// A report generated onto the printer: the component's Print with its
// progress window, and the report printer drawing the pages of the range on
// a printer scripted in code while the others are recorded and thrown away.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "component/qr_report.h"
#include "platform/canvas/canvas.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "platform/printing/printer.h"
#include "platform/printing/qt_printer_backend.h"
#include "printing/qr_progress_form.h"
#include "tests/support/commands.h"
#include "tests/support/scripted_printers.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

std::shared_ptr<TScriptedPrinterBackend> OnePrinter()
{
    return test::OneScriptedPrinter({300, 300, {2400, 3400}, TPixelSize {2480, 3508}, TPixelOffset {40, 54}, {9}});
}

// A definition whose band engine prints a given number of pages; page n
// carries a filled bar n × 10 mm wide, and progress is reported per page.
class PagedReport : public TQRReport {
public:
    int Pages = 5;
    // Called after page n is drawn.
    std::function<void(int n)> AfterPage;
    // The progress windows seen during generation.
    std::vector<TQRProgressForm*> ProgressWindows;

protected:
    void PrintBands() override
    {
        TQRPrinter& printer = *CurrentPrinter();
        if (auto* form = dynamic_cast<TQRProgressForm*>(printer.ClientWindow))
            ProgressWindows.push_back(form);
        for (int n = 1; n <= Pages && !printer.CancelRequested; ++n) {
            printer.NewPage();
            TCanvas& canvas = *printer.PageCanvas();
            canvas.Brush.Color = clBlack;
            // Positions from the paper edge, as the band engine places them.
            canvas.FillRect({printer.ToDeviceX(100), printer.ToDeviceY(100), printer.ToDeviceX(100 + 100 * n),
                             printer.ToDeviceY(200)});
            printer.SetProgress(n * 100 / Pages);
            if (AfterPage)
                AfterPage(n);
        }
    }
};

class PrintGeneration : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(Backend);
        Application::ProcessMessages();
    }
    void TearDown() override { SetPrinterBackend(nullptr); }

    // The bar widths in tenths of a millimetre on each device page: the page numbers drawn.
    static std::vector<int> PagesShown(const TScriptedDocument& document)
    {
        std::vector<int> shown;
        for (const QPicture& page : document.Pages)
            shown.push_back(static_cast<int>(page.boundingRect().width() * 254.0 / 300 / 100 + 0.5));
        return shown;
    }

    std::shared_ptr<TScriptedPrinterBackend> Backend = OnePrinter();
};

TEST_F(PrintGeneration, OnlyThePagesOfTheRangeReachThePrinterInOneJob)
{
    PagedReport report;
    report.ReportTitle = "Statement";
    report.PrinterSettings.FirstPage = 2;
    report.PrinterSettings.LastPage = 3;
    report.Print();
    ASSERT_EQ(Backend->Documents().size(), 1U);
    const TScriptedDocument& document = *Backend->Documents()[0];
    EXPECT_TRUE(document.Ended);
    EXPECT_EQ(document.Title, "Statement");
    EXPECT_EQ(PagesShown(document), (std::vector {2, 3})) << "pages 1, 4 and 5 were recorded and thrown away";
    // Drawn at the device's resolution, shifted by its unprintable margin:
    // 10 mm from the paper edge is 118 pixels at 300 dpi, less the 40-pixel offset.
    const QRect bar = document.Pages[0].boundingRect();
    EXPECT_NEAR(bar.left(), 118 - 40, 1);
    EXPECT_NEAR(bar.top(), 118 - 54, 1);
    EXPECT_EQ(report.CurrentPrinter(), nullptr) << "the temporary printer is gone";
    EXPECT_TRUE(report.Idle);
}

TEST_F(PrintGeneration, WholeDocumentsAndOpenRangesEndWithoutABlankSheet)
{
    const std::pair<int, int> ranges[] = {{0, 0}, {4, 0}, {0, 1}, {5, 5}};
    const std::vector<int> expected[] = {{1, 2, 3, 4, 5}, {4, 5}, {1}, {5}};
    for (std::size_t i = 0; i < std::size(ranges); ++i) {
        PagedReport report;
        report.PrinterSettings.FirstPage = ranges[i].first;
        report.PrinterSettings.LastPage = ranges[i].second;
        report.Print();
        ASSERT_EQ(Backend->Documents().size(), i + 1);
        EXPECT_EQ(PagesShown(*Backend->Documents()[i]), expected[i]) << ranges[i].first << "-" << ranges[i].second;
    }
    // A range beyond the document starts no job.
    PagedReport report;
    report.PrinterSettings.FirstPage = 7;
    report.Print();
    EXPECT_EQ(Backend->Documents().size(), std::size(ranges));
}

TEST_F(PrintGeneration, TheProgressWindowShowsTheGenerationAndItsCancelAbortsTheJob)
{
    PagedReport report;
    report.Pages = 10;
    std::vector<int> gauge;
    std::vector<QString> info;
    report.AfterPage = [&](int n) {
        TQRProgressForm* form = report.ProgressWindows.back();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->windowTitle(), "Printing progress");
        Application::ProcessMessages();
        gauge.push_back(form->Gauge->value());
        info.push_back(form->Info->text());
        if (n == 4)
            form->CancelButton->click();
    };
    report.Print();
    EXPECT_EQ(gauge, (std::vector {10, 20, 30, 40}));
    EXPECT_EQ(info.back(), "40%  Completed");
    ASSERT_EQ(Backend->Documents().size(), 1U);
    EXPECT_TRUE(Backend->Documents()[0]->Aborted) << "a cancelled generation drops the job";
    EXPECT_FALSE(Backend->Documents()[0]->Ended);
    EXPECT_TRUE(report.CancelRequested);
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windows.begin(), windows.end(),
                             [](QWidget* w) { return w->windowTitle() == "Printing progress"; }))
        << "the progress window is gone";
}

TEST_F(PrintGeneration, TheEmptyDefinitionShowsTheProgressWindowAndPrintsNothing)
{
    TQRReport report;
    int windowsDuring = 0;
    report.AfterPrint = [&](TQRReport*) {
        for (QWidget* window : QApplication::topLevelWidgets())
            windowsDuring += window->isVisible() && window->windowTitle() == "Printing progress";
    };
    report.Print();
    EXPECT_EQ(windowsDuring, 1);
    EXPECT_TRUE(Backend->Documents().empty()) << "no page, no job";

    report.ShowProgress = false;
    windowsDuring = 0;
    report.Print();
    EXPECT_EQ(windowsDuring, 0);
}

TEST(PrintGenerationToAFile, ThePdfFileChosenForTheApplicationsPrinterIsWritten)
{
    setenv("CUPS_SERVER", "/nonexistent/qrp-cups.sock", 1);
    SetPrinterBackend(nullptr);
    test::ScratchDir dir;
    ApplicationPrinter().SetPrinter(kPdfFilePrinter, "", dir.File("generated.pdf"), std::nullopt);
    PagedReport report;
    report.Pages = 3;
    report.ShowProgress = false;
    report.PrinterSettings.PrinterPosition = ApplicationPrinter().PrinterIndex();
    report.Print();
    EXPECT_EQ(test::PdfPageCount(dir.File("generated.pdf")), 3);
    SetPrinterBackend(nullptr);
}

}  // namespace
}  // namespace qrp
