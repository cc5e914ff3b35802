// The report printer: producing documents, its notifications, conversions,
// loading with paper detection, saving.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/byte_order.h"
#include "platform/canvas/canvas.h"
#include "platform/emf/emf_writer.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "printing/printer_settings.h"
#include "report/qr_printer.h"
#include "report/report_file_error.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

class Recorder : public TMessageTarget {
public:
    void WndProc(TMessage& message) override { Received.push_back({message.Msg, message.WParam, message.LParam}); }
    struct TReceived {
        std::uint32_t Msg;
        std::intptr_t WParam;
        std::intptr_t LParam;
        bool operator==(const TReceived&) const = default;
    };
    std::vector<TReceived> Received;
};

// A printer offering the given paper codes, portrait A4 by default.
std::shared_ptr<TScriptedPrinterBackend> Printer(std::vector<std::int16_t> codes, bool orientable = true)
{
    TScriptedPrinter printer;
    printer.Info = {"Scripted", "scripted", "none"};
    TDeviceMode mode;
    mode.Fields = DM_PAPERSIZE | DM_COPIES | (orientable ? DM_ORIENTATION : 0);
    mode.PaperSize = 9;
    printer.DefaultMode = mode;
    printer.Capabilities.PixelsPerInchX = printer.Capabilities.PixelsPerInchY = 600;
    printer.Capabilities.Printable = {4800, 6800};
    printer.Capabilities.PaperCodes = std::move(codes);
    return std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {printer}, 0);
}

std::vector<std::int16_t> EveryPaper()
{
    std::vector<std::int16_t> codes;
    for (int i = 1; i <= 26; ++i)
        codes.push_back(static_cast<std::int16_t>(i));
    codes.push_back(256);
    return codes;
}

class ReportPrinter : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(Printer(EveryPaper()));
        Application::ProcessMessages();
    }
    void TearDown() override { SetPrinterBackend(Printer({})); }

    // A report file whose first page is width × height pixels.
    std::string FileWithPage(int width, int height)
    {
        test::WriteWholeFile(Dir.File("page.qrp"), test::MakeDocument({TMetafile(emf::TEmfWriter(width, height).Finish())}, false));
        return Dir.File("page.qrp");
    }

    test::ScratchDir Dir;
};

TEST_F(ReportPrinter, ProducesDocumentsThroughItsStates)
{
    TQRPrinter printer;
    Recorder client;
    printer.ClientWindow = &client;
    EXPECT_THROW(printer.NewPage(), EQRError);
    printer.StartDocument();
    try {
        printer.StartDocument();
        FAIL() << "a second start";
    } catch (const EQRError& error) {
        EXPECT_STREQ(error.what(), "QRPrinter not ready");
    }
    EXPECT_EQ(printer.DocState, rpsBusy) << "the first document goes on";
    for (int page = 1; page <= 3; ++page) {
        printer.NewPage();
        ASSERT_NE(printer.PageCanvas(), nullptr);
        printer.PageCanvas()->TextOut(printer.ToDeviceX(100), printer.ToDeviceY(100), QString("Page %1").arg(page));
        EXPECT_EQ(printer.GetPage(printer.PageTotal), nullptr) << "the page being drawn is not stored yet";
        if (page > 1) {
            EXPECT_NE(printer.GetPage(printer.PageTotal - 1), nullptr);
        }
    }
    printer.FinishDocument();
    try {
        printer.NewPage();
        FAIL() << "a page after the end";
    } catch (const EQRError& error) {
        EXPECT_STREQ(error.what(), "Illegal call to NewPage");
    }
    EXPECT_EQ(printer.PageTotal, 3);
    EXPECT_EQ(printer.PagesReady(), 3);
    EXPECT_EQ(printer.DocState, rpsFinished);
    const auto page = printer.GetPage(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Width(), 794) << "A4 portrait at 96 per inch";
    EXPECT_EQ(page->Height(), 1123);

    EXPECT_TRUE(client.Received.empty()) << "notifications are posted";
    Application::ProcessMessages();
    EXPECT_EQ(client.Received, (std::vector<Recorder::TReceived> {{RPM_PAGEAVAILABLE, 1, 0}, {RPM_PAGEAVAILABLE, 2, 0},
                                                                  {RPM_PAGEAVAILABLE, 3, 0}}));
}

TEST_F(ReportPrinter, AnEmptyDocumentAndAnAbortedOne)
{
    TQRPrinter empty;
    empty.StartDocument();
    empty.FinishDocument();
    EXPECT_EQ(empty.PageTotal, 0);
    EXPECT_EQ(empty.PagesReady(), 1);
    empty.Save(Dir.File("empty.qrp"));
    EXPECT_EQ(LoadInt32(test::ReadWholeFile(Dir.File("empty.qrp")).data() + 8), 0);

    TQRPrinter aborted;
    aborted.StartDocument();
    aborted.NewPage();
    aborted.NewPage();
    aborted.NewPage();
    aborted.AbortDocument();
    aborted.AbortDocument();  // stores nothing more
    EXPECT_EQ(aborted.DocState, rpsFinished);
    aborted.Save(Dir.File("aborted.qrp"));
    TQRPrinter loaded;
    loaded.Load(Dir.File("aborted.qrp"));
    EXPECT_EQ(loaded.PageTotal, 1) << "the header still records the first page only";
}

TEST_F(ReportPrinter, ConversionsAtTheScreenResolution)
{
    TQRPrinter printer;
    printer.StartDocument();
    EXPECT_EQ(printer.ToDeviceDX(254), 96);
    EXPECT_EQ(printer.ToDeviceX(254), 96) << "no unprintable margins when recording";
    EXPECT_EQ(printer.ToDeviceDY(2970), 1123);
    EXPECT_EQ(printer.PageWidth(), 2100);
    EXPECT_EQ(printer.PageLength(), 2970);
    printer.SetOrientation(poLandscape);
    EXPECT_EQ(printer.PageWidth(), 2970);
    EXPECT_EQ(printer.PageLength(), 2100);
}

TEST_F(ReportPrinter, ClosingThePreviewCancelsAndPrintingAGeneratedDocumentAsksTheMaster)
{
    TQRPrinter printer;
    Recorder master;
    int afterPreview = 0;
    printer.AfterPreviewHandler = [&](TQRPrinter*) { ++afterPreview; };
    printer.MasterWindow = &master;
    printer.SetPreviewOpen(true);
    printer.StartDocument();
    printer.SetPreviewOpen(false);
    EXPECT_TRUE(printer.CancelRequested);
    EXPECT_EQ(afterPreview, 1);
    printer.FinishDocument();
    printer.Print();
    Application::ProcessMessages();
    EXPECT_EQ(master.Received, (std::vector<Recorder::TReceived> {{RPM_PRINTREQUEST, 0, 0}}));
    printer.SignalPreviewClosed();
    EXPECT_EQ(master.Received.back().Msg, RPM_PREVIEWCLOSED);
    EXPECT_EQ(master.Received.back().LParam, reinterpret_cast<std::intptr_t>(&printer));
}

struct TDetection {
    int Width, Height;  // pixels of page 1
    TQRPaperSize Paper;
    TPrinterOrientation Orientation;
};

TEST_F(ReportPrinter, LoadRecognisesThePaperOfPageOne)
{
    // Pixel sizes chosen for their 4 mm units: 794 × 1123 is 52 × 74 (A4), 816 × 1056 (Letter) is 53 × 69.
    const TDetection cases[] = {
        {794, 1123, TQRPaperSize::A4Small, poPortrait},   // A4 and A4Small match; the later row wins
        {1123, 794, TQRPaperSize::A4Small, poLandscape},
        {816, 1056, TQRPaperSize::Note, poPortrait},      // Letter, LetterSmall and Note match
        {1123, 1590, TQRPaperSize::A3, poPortrait},       // 74 × 105
        {380, 380, TQRPaperSize::ESheet, poLandscape},    // 25 × 25: both tests of the last sheet
        {1123, 1587, TQRPaperSize::A3, poPortrait},       // 74 × 104: one unit short, still A3
    };
    for (const TDetection& c : cases) {
        TQRPrinter printer;
        printer.SetPaperSize(TQRPaperSize::A5);
        printer.Load(FileWithPage(c.Width, c.Height));
        EXPECT_EQ(printer.PaperSize(), c.Paper) << c.Width << " x " << c.Height;
        EXPECT_EQ(printer.Orientation(), c.Orientation) << c.Width << " x " << c.Height;
        EXPECT_EQ(printer.DocState, rpsFinished);
        EXPECT_TRUE(printer.LoadedFromFile());
    }
    TQRPrinter nothing;
    nothing.SetPaperSize(TQRPaperSize::A5);
    nothing.Load(FileWithPage(756, 756));  // 50 × 50
    EXPECT_EQ(nothing.PaperSize(), TQRPaperSize::A5) << "no row matches: the paper stays";
}

TEST_F(ReportPrinter, DetectionTakesWhatThePrinterOffers)
{
    SetPrinterBackend(Printer({1, 9, 70}));
    TQRPrinter a4;
    a4.Load(FileWithPage(794, 1123));
    EXPECT_EQ(a4.PaperSize(), TQRPaperSize::A4) << "A4Small is not offered";
    TQRPrinter letter;
    letter.Load(FileWithPage(816, 1056));
    EXPECT_EQ(letter.PaperSize(), TQRPaperSize::Letter);

    SetPrinterBackend(Printer(EveryPaper(), false));
    TQRPrinter fixed;
    fixed.Load(FileWithPage(1123, 794));
    EXPECT_EQ(fixed.Orientation(), poPortrait) << "a printer that cannot be turned keeps its orientation";

    SetPrinterBackend(Printer({}));
    TQRPrinter none;
    none.Load(FileWithPage(1123, 1590));
    EXPECT_EQ(none.PaperSize(), TQRPaperSize::A4) << "no paper offered: nothing changes";
}

TEST_F(ReportPrinter, FailedLoadsHoldNoDocument)
{
    TQRPrinter printer;
    printer.StartDocument();
    printer.NewPage();
    EXPECT_THROW(printer.Load(Dir.File("missing.qrp")), EFOpenError);
    EXPECT_TRUE(printer.CancelRequested) << "loading dropped the document being produced";
    EXPECT_EQ(printer.DocState, rpsReady);

    Bytes file = test::MakeDocument(2, false);
    StoreUInt32(file.data() + 136, 7);  // page 1 is no recording
    test::WriteWholeFile(Dir.File("bad.qrp"), file);
    try {
        printer.Load(Dir.File("bad.qrp"));
        FAIL() << "loaded a file whose first page is no recording";
    } catch (const EInvalidGraphic& error) {
        EXPECT_STREQ(error.what(), "Metafile is not valid");
    }
    EXPECT_EQ(printer.DocState, rpsReady);
    EXPECT_EQ(printer.GetPage(1), nullptr);

    test::WriteWholeFile(Dir.File("short.qrp"), Bytes(40, 3));
    EXPECT_THROW(printer.Load(Dir.File("short.qrp")), EReportFileError);
    EXPECT_EQ(printer.DocState, rpsReady);

    test::WriteWholeFile(Dir.File("zero.qrp"), test::MakeDocument(0, true));
    printer.Load(Dir.File("zero.qrp"));
    EXPECT_EQ(printer.DocState, rpsFinished);
    EXPECT_EQ(printer.PageTotal, 0);
    EXPECT_EQ(printer.GetPage(1), nullptr);
}

TEST_F(ReportPrinter, TheTemporaryFileGoesWithTheDocument)
{
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    ::setenv("TMPDIR", Dir.Root().c_str(), 1);
    const auto temporaryFiles = [this] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Dir.Root()))
            count += entry.path().filename().string().rfind("QRP", 0) == 0;
        return count;
    };
    // Enough text to pass the 100000 bytes kept in memory.
    const auto produce = [](TQRPrinter& printer) {
        printer.StartDocument();
        for (int page = 1; page <= 40; ++page) {
            printer.NewPage();
            for (int line = 0; line < 40; ++line)
                printer.PageCanvas()->TextOut(20, 20 + 20 * line, QString("Řádek %1 stránky %2").arg(line).arg(page));
        }
        printer.FinishDocument();
    };
    {
        TQRPrinter dropped;
        produce(dropped);
        EXPECT_EQ(temporaryFiles(), 1);
        dropped.DropDocument();
        EXPECT_EQ(temporaryFiles(), 0);
        EXPECT_EQ(dropped.DocState, rpsReady);
        produce(dropped);
        EXPECT_EQ(temporaryFiles(), 1);
    }
    EXPECT_EQ(temporaryFiles(), 0) << "destroying the report printer deletes it too";
    if (saved)
        ::setenv("TMPDIR", previous.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST_F(ReportPrinter, SavedDocumentsLoadAgainWithTheSamePages)
{
    TQRPrinter produced;
    produced.SetCompression(true);
    produced.StartDocument();
    for (int page = 1; page <= 2; ++page) {
        produced.NewPage();
        produced.PageCanvas()->Rectangle(10 * page, 10, 100, 100);
    }
    produced.FinishDocument();
    produced.Save(Dir.File("saved.qrp"));
    TQRPrinter loaded;
    loaded.Load(Dir.File("saved.qrp"));
    EXPECT_TRUE(loaded.Compression());
    ASSERT_EQ(loaded.PageTotal, 2);
    for (int page = 1; page <= 2; ++page)
        EXPECT_EQ(loaded.GetPage(page)->Bytes(), produced.GetPage(page)->Bytes());
    // Saving over the loaded file keeps it whole.
    loaded.Save(Dir.File("saved.qrp"));
    EXPECT_EQ(loaded.GetPage(2)->Bytes(), produced.GetPage(2)->Bytes());
}

}  // namespace
}  // namespace qrp
