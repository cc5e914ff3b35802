// Printing on real CUPS queues of a private daemon: qrptool print and the
// viewer's print command, down to the job the queue takes and the PDF it
// writes. Skipped where CUPS is not installed.

#include <gtest/gtest.h>

#include <filesystem>

#include <QPrintDialog>

#include "app/qrp_load.h"
#include "app/qrp_prew.h"
#include "platform/emf/emf_writer.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"
#include "tests/app/viewer_session.h"
#include "tests/support/commands.h"
#include "tests/support/print_dialog_driver.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;

const std::string kPdfQueue = "QrpTestPdf";
const std::string kRefusingQueue = "QrpRefusing";
const std::string kSample = std::string(QRP_SOURCE_DIR) + "/examples/sample.qrp";

std::string Quoted(const std::string& word) { return "'" + word + "'"; }

class CupsPrint : public test::PrivateCupsTest {
protected:
    static void SetUpTestSuite()
    {
        StartDaemon();
        if (!Running())
            return;
        AddPrinter(kPdfQueue, "Pdf.pdf", kPdfModel);
        AddPrinter(kRefusingQueue, "Refused.pdf", kPdfModel);
        ASSERT_EQ(RunCommand(test::AdminCommand("cupsreject ") + kRefusingQueue + " 2>&1").Status, 0);
        ASSERT_EQ(RunCommand(test::AdminCommand("lpadmin -d ") + kPdfQueue).Status, 0);
    }
    static void TearDownTestSuite() { StopDaemon(); }

    void SetUp() override
    {
        test::PrivateCupsTest::SetUp();
        // The printer objects list the private daemon's queues.
        SetPrinterBackend(nullptr);
        Application::ResetTerminated();
        fs::remove(OutputOf("Pdf.pdf"));
    }

    static test::TCommandResult Qrptool(const std::string& arguments)
    {
        return RunCommand(Quoted(QRPTOOL_PATH) + " " + arguments + " 2>&1");
    }

    test::ScratchDir Dir;
};

TEST_F(CupsPrint, QrptoolSendsARangeOnceWithTheCopiesAsTheJobsCount)
{
    const int before = LastJobId();
    const auto printed = Qrptool("print " + Quoted(kSample) + " --pages 2-3 --copies 2");
    ASSERT_EQ(printed.Status, 0) << printed.Output;
    ASSERT_TRUE(AllJobsDone()) << ErrorLog();
    const int job = LastJobId();
    ASSERT_EQ(job, before + 1) << "one job";
    EXPECT_EQ(JobAttribute(job, "copies"), "2");
    EXPECT_EQ(JobAttribute(job, "print-scaling"), "none") << "the queue does not fit the pages again";

    // What was sent: each page once, on A4, pages 2 and 3 in that order.
    const fs::path sent = SpooledDocument(job);
    EXPECT_EQ(test::PdfPageCount(sent), 2);
    EXPECT_EQ(test::PdfPageSize(sent), "595 x 842");
    const std::string text = test::PdfText(sent, 1, 2);
    const auto second = text.find("Stránka 2");
    const auto third = text.find("Stránka 3");
    ASSERT_NE(second, std::string::npos) << text;
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_LT(second, third);
    // What came out: the queue made the copies, at the paper's size.
    const fs::path output = OutputOf("Pdf.pdf");
    EXPECT_EQ(test::PdfPageCount(output), 4);
    EXPECT_EQ(test::PdfPageSize(output), "595 x 842");
}

TEST_F(CupsPrint, ALandscapeDocumentComesOutOnLandscapeA4)
{
    emf::TEmfWriter writer(1123, 794);
    writer.TextOut(100, 100, u"Across the sheet");
    test::WriteWholeFile(Dir.File("across.qrp"), test::MakeDocument({TMetafile(writer.Finish())}, false));
    const auto printed = Qrptool("print " + Quoted(Dir.File("across.qrp")));
    ASSERT_EQ(printed.Status, 0) << printed.Output;
    ASSERT_TRUE(AllJobsDone()) << ErrorLog();
    const int job = LastJobId();
    EXPECT_EQ(test::PdfPageSize(SpooledDocument(job)), "842 x 595");
    EXPECT_EQ(JobAttribute(job, "orientation-requested"), "landscape");
    EXPECT_EQ(test::PdfPageSize(OutputOf("Pdf.pdf")), "842 x 595");
}

TEST_F(CupsPrint, AQueueThatRefusesTheJobIsReported)
{
    const int before = LastJobId();
    const auto printed = Qrptool("print " + Quoted(kSample) + " --printer " + kRefusingQueue);
    EXPECT_EQ(printed.Status, 1);
    EXPECT_NE(printed.Output.find("not accepting jobs"), std::string::npos) << printed.Output;
    EXPECT_EQ(LastJobId(), before);
}

TEST_F(CupsPrint, TheViewerPrintsTheLoadedDocumentOnTheChosenQueue)
{
    const int before = LastJobId();
    {
        TQRPLoad load({kSample});
        EXPECT_TRUE(test::RunViewer(load, kSample, [](TQRPrew& viewer) {
            test::AnswerPrintDialog(
                [](QPrintDialog& dialog) {
                    test::ChoosePrinter(dialog, kPdfQueue);
                    test::ChoosePageRange(dialog, 1, 2);
                },
                true);
            viewer.SpeedButton3Click();
            // A cancelled dialog sends nothing.
            test::AnswerPrintDialog(nullptr, false);
            viewer.SpeedButton3Click();
        }));
    }
    ASSERT_TRUE(AllJobsDone()) << ErrorLog();
    ASSERT_EQ(LastJobId(), before + 1) << "one job for the confirmed dialog, none for the cancelled one";
    EXPECT_EQ(test::PdfPageCount(SpooledDocument(before + 1)), 2);
    EXPECT_EQ(test::PdfPageCount(OutputOf("Pdf.pdf")), 2);
    EXPECT_NE(test::PdfText(OutputOf("Pdf.pdf"), 1, 1).find("Přehled vydaných faktur"), std::string::npos);
}

}  // namespace
}  // namespace qrp
