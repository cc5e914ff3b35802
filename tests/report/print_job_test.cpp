// The report printer's print job for a loaded document, on a printer scripted
// in code that keeps each device page as a picture: which pages reach the
// device, how they are placed, and how a job ends when it is cancelled,
// interrupted or fails.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/emf/emf_writer.h"
#include "platform/messages/application.h"
#include "platform/printing/printer.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "report/qr_printer.h"
#include "tests/support/scripted_printers.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

constexpr int kPrintableWidth = 4800;
constexpr int kPrintableHeight = 6800;
constexpr int kPageWidth = 794;
constexpr int kPageHeight = 1123;

std::shared_ptr<TScriptedPrinterBackend> OfficePrinter()
{
    return test::OneScriptedPrinter({600, 600, {kPrintableWidth, kPrintableHeight}, TPixelSize {4960, 7016},
                                     TPixelOffset {80, 108}, {9, 8, 11}},
                                    {"Office", "office", "usb://office"});
}

// Page n of a test document: a rectangle n × 50 pixels wide across the top,
// so that a device page tells which page it shows; page 1 also outlines the
// whole sheet.
TMetafile NumberedPage(int n)
{
    emf::TEmfWriter writer(kPageWidth, kPageHeight);
    writer.Rectangle({0, 0, 50 * n, 40});
    if (n == 1)
        writer.Rectangle({0, 0, kPageWidth, kPageHeight});
    return TMetafile(writer.Finish());
}

// Counts the messages a window receives and can act on each.
class Window : public TMessageTarget {
public:
    void WndProc(TMessage& message) override
    {
        Received.push_back(message);
        if (OnMessage)
            OnMessage(message);
    }
    std::vector<TMessage> Received;
    std::function<void(const TMessage&)> OnMessage;
};

class PrintJob : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(Backend);
        Printer = std::make_unique<TQRPrinter>();
        Application::ProcessMessages();
    }
    void TearDown() override
    {
        Application::ResetTerminated();
        SetPrinterBackend(nullptr);
    }

    // Loads a document of the given pages into Printer.
    void LoadPages(int count)
    {
        std::vector<TMetafile> pages;
        for (int n = 1; n <= count; ++n)
            pages.push_back(NumberedPage(n));
        test::WriteWholeFile(Dir.File("report.qrp"), test::MakeDocument(pages, true));
        Printer->Load(Dir.File("report.qrp"));
    }

    const std::vector<std::shared_ptr<TScriptedDocument>>& Documents() const { return Backend->Documents(); }

    // The page number each device page of the document shows.
    static std::vector<int> PagesShown(const TScriptedDocument& document)
    {
        std::vector<int> shown;
        const double scale = static_cast<double>(kPrintableWidth) / kPageWidth;
        for (const QPicture& page : document.Pages) {
            // The marker's width tells the page; page 1's outline is the whole sheet.
            const QRect bounds = page.boundingRect();
            shown.push_back(bounds.width() >= kPrintableWidth - 10 ? 1
                                                                    : static_cast<int>(bounds.width() / (50 * scale) + 0.5));
        }
        return shown;
    }

    std::shared_ptr<TScriptedPrinterBackend> Backend = OfficePrinter();
    test::ScratchDir Dir;
    std::unique_ptr<TQRPrinter> Printer;
};

TEST_F(PrintJob, EveryPageGoesOnASheetOfItsOwnStretchedIntoThePrintableArea)
{
    LoadPages(5);
    Printer->JobTitle = "Faktury 2026";
    Printer->Print();
    ASSERT_EQ(Documents().size(), 1U);
    const TScriptedDocument& document = *Documents()[0];
    EXPECT_TRUE(document.Ended);
    EXPECT_FALSE(document.Aborted);
    EXPECT_EQ(document.Title, "Faktury 2026");
    EXPECT_EQ(PagesShown(document), (std::vector {1, 2, 3, 4, 5}));
    // The recorded sheet, edge to edge, fills the printable area from its top left.
    const QRect sheet = document.Pages[0].boundingRect();
    EXPECT_LE(std::abs(sheet.left()), 4);
    EXPECT_LE(std::abs(sheet.top()), 4);
    EXPECT_NEAR(sheet.width(), kPrintableWidth, 8);
    EXPECT_NEAR(sheet.height(), kPrintableHeight, 8);
    EXPECT_FALSE(Printer->OwnPrinter().Printing());
    EXPECT_EQ(Printer->DocState, rpsFinished) << "the document stays for the preview and more printing";
}

TEST_F(PrintJob, ARangePrintsExactlyItsPagesAndAnEmptyRangeOpensNoJob)
{
    LoadPages(5);
    struct TCase {
        int First, Last;
        std::vector<int> Expected;  // empty: no job at all
    };
    const TCase cases[] = {
        {2, 3, {2, 3}},     // no blank sheet after the last page
        {4, 2, {}},         // last below first
        {0, 2, {1, 2}},     // an end of 0 is open
        {4, 0, {4, 5}},
        {3, 99, {3, 4, 5}}, // the range stays within the document
        {6, 9, {}},
        {5, 5, {5}},
    };
    for (const TCase& c : cases) {
        const std::size_t before = Documents().size();
        Printer->FirstPage = c.First;
        Printer->LastPage = c.Last;
        Printer->Print();
        if (c.Expected.empty()) {
            EXPECT_EQ(Documents().size(), before) << c.First << "-" << c.Last << " opens no job";
        } else {
            ASSERT_EQ(Documents().size(), before + 1) << c.First << "-" << c.Last;
            EXPECT_EQ(PagesShown(*Documents().back()), c.Expected) << c.First << "-" << c.Last;
            EXPECT_TRUE(Documents().back()->Ended);
        }
    }
}

TEST_F(PrintJob, CopiesTravelInTheDeviceModeAndEachPageIsPaintedOnce)
{
    LoadPages(2);
    Printer->SetCopies(3);
    Printer->SetOrientation(poLandscape);
    Printer->Print();
    ASSERT_EQ(Documents().size(), 1U);
    const TScriptedDocument& document = *Documents()[0];
    ASSERT_TRUE(document.Mode);
    EXPECT_EQ(document.Mode->Copies, 3);
    EXPECT_EQ(document.Mode->Orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(document.Pages.size(), 2U);
}

TEST_F(PrintJob, OnlyAFinishedDocumentIsPrintedAndAGeneratedOneIsHandedToItsMaster)
{
    Printer->Print();
    EXPECT_TRUE(Documents().empty()) << "no document";

    Window master;
    Printer->MasterWindow = &master;
    Printer->StartDocument();
    Printer->NewPage();
    Printer->Print();
    EXPECT_TRUE(Documents().empty()) << "a document in production";
    Printer->FinishDocument();
    Application::ProcessMessages();
    master.Received.clear();

    Printer->Print();
    Application::ProcessMessages();
    EXPECT_TRUE(Documents().empty()) << "the master generates it again";
    ASSERT_EQ(master.Received.size(), 1U);
    EXPECT_EQ(master.Received[0].Msg, RPM_PRINTREQUEST);

    // The same printer after loading a file prints the held pages itself.
    LoadPages(1);
    Printer->Print();
    EXPECT_EQ(Documents().size(), 1U);
}

TEST_F(PrintJob, WithoutAPrinterNothingHappens)
{
    SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
    Printer = std::make_unique<TQRPrinter>();
    EXPECT_FALSE(Printer->HasPrinter);
    LoadPages(2);
    EXPECT_NO_THROW(Printer->Print());
}

TEST_F(PrintJob, ProgressIsReportedAndACancelBetweenPagesDropsTheJob)
{
    LoadPages(5);
    Window client;
    Printer->ClientWindow = &client;
    Printer->Print();
    Application::ProcessMessages();
    std::vector<std::intptr_t> progress;
    for (const TMessage& message : client.Received)
        if (message.Msg == RPM_PROGRESS)
            progress.push_back(message.WParam);
    EXPECT_EQ(progress, (std::vector<std::intptr_t> {20, 40, 60, 80, 100}));

    // The window handles its messages between pages; a cancel there ends the job.
    client.Received.clear();
    client.OnMessage = [this](const TMessage& message) {
        if (message.Msg == RPM_PROGRESS && message.WParam == 40)
            Printer->RequestCancel();
    };
    Printer->Print();
    ASSERT_EQ(Documents().size(), 2U);
    const TScriptedDocument& cancelled = *Documents()[1];
    EXPECT_TRUE(cancelled.Aborted) << "the spooled pages are discarded";
    EXPECT_FALSE(cancelled.Ended);
    EXPECT_FALSE(Printer->OwnPrinter().Printing());

    // A cancel left over from before does not stop the next job.
    client.OnMessage = nullptr;
    Printer->RequestCancel();
    Printer->Print();
    ASSERT_EQ(Documents().size(), 3U);
    EXPECT_TRUE(Documents()[2]->Ended);
    EXPECT_EQ(Documents()[2]->Pages.size(), 5U);
}

TEST_F(PrintJob, AQuitRequestDropsTheJob)
{
    LoadPages(3);
    Application::Terminate();
    Printer->Print();
    ASSERT_EQ(Documents().size(), 1U);
    EXPECT_TRUE(Documents()[0]->Aborted);
}

TEST_F(PrintJob, APageThatCannotBeReadDropsTheJobAndIsReported)
{
    // Page 2's recording is damaged in the file: its EMF signature is gone.
    std::vector<TMetafile> pages {NumberedPage(1), NumberedPage(2), NumberedPage(3)};
    test::Bytes bytes = test::MakeDocument(pages, false);
    const std::uint8_t signature[] = {0x20, 0x45, 0x4D, 0x46};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(signature), std::end(signature));
    at = std::search(at + 1, bytes.end(), std::begin(signature), std::end(signature));
    ASSERT_NE(at, bytes.end());
    *at = 0;
    test::WriteWholeFile(Dir.File("damaged.qrp"), bytes);
    Printer->Load(Dir.File("damaged.qrp"));

    EXPECT_THROW(Printer->Print(), std::exception);
    ASSERT_EQ(Documents().size(), 1U);
    EXPECT_TRUE(Documents()[0]->Aborted) << "nothing half-printed is sent";
    EXPECT_FALSE(Printer->OwnPrinter().Printing());
    // Page 1 alone prints.
    Printer->FirstPage = Printer->LastPage = 1;
    Printer->Print();
    ASSERT_EQ(Documents().size(), 2U);
    EXPECT_TRUE(Documents()[1]->Ended);
}

}  // namespace
}  // namespace qrp
