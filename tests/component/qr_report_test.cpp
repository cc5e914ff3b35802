// The report component's entry points with the empty report definition.

#include <gtest/gtest.h>

#include "component/qr_report.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"

namespace qrp {
namespace {

class Recorder : public TMessageTarget {
public:
    void WndProc(TMessage& message) override { Received.push_back({message.Msg, message.WParam}); }
    std::vector<std::pair<std::uint32_t, std::intptr_t>> Received;
};

std::shared_ptr<TScriptedPrinterBackend> Printers(int count)
{
    std::vector<TScriptedPrinter> printers(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        printers[static_cast<std::size_t>(i)].Info = {"Printer " + std::to_string(i), "scripted", "none"};
        TDeviceMode mode;
        mode.Fields = DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES;
        mode.PaperSize = 9;
        printers[static_cast<std::size_t>(i)].DefaultMode = mode;
        printers[static_cast<std::size_t>(i)].Capabilities.PixelsPerInchX = 600;
        printers[static_cast<std::size_t>(i)].Capabilities.PixelsPerInchY = 600;
        printers[static_cast<std::size_t>(i)].Capabilities.PaperCodes = {1, 9, 256};
    }
    return std::make_shared<TScriptedPrinterBackend>(printers, count > 0 ? 0 : -1);
}

class ReportComponent : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(Printers(1));
        Application::ProcessMessages();
    }
    void TearDown() override { SetPrinterBackend(Printers(0)); }
};

TEST_F(ReportComponent, TheEmptyDefinitionGivesAFinishedDocumentOfNoPages)
{
    TQRReport report;
    Recorder client;
    report.OnPreview = [&](TQRPrinter* printer) {
        printer->ClientWindow = &client;
        printer->SetPreviewOpen(true);
        // Close the preview as soon as the loop runs.
        PostMessage(&client, WM_USER + 50, 0, 0);
    };
    TQRPrinter* seen = nullptr;
    struct Closer : TMessageTarget {
        std::function<void()> Close;
        void WndProc(TMessage&) override { Close(); }
    } closer;
    closer.Close = [&] {
        seen = report.CurrentPrinter();
        EXPECT_EQ(seen->DocState, rpsFinished);
        EXPECT_EQ(seen->PageTotal, 0);
        EXPECT_EQ(seen->PagesReady(), 1);
        EXPECT_EQ(seen->JobTitle, "");
        EXPECT_FALSE(seen->LoadedFromFile());
        seen->SetPreviewOpen(false);
    };
    report.OnPreview = [&](TQRPrinter* printer) {
        printer->ClientWindow = &client;
        printer->SetPreviewOpen(true);
        PostMessage(&closer, WM_USER + 50, 0, 0);
    };
    report.PreviewModal();
    ASSERT_NE(seen, nullptr) << "the loop ran";
    EXPECT_EQ(client.Received, (std::vector<std::pair<std::uint32_t, std::intptr_t>> {{RPM_PAGEAVAILABLE, 1}}))
        << "exactly one page-available notification carrying 1, and no progress";
    EXPECT_TRUE(report.Idle);
}

TEST_F(ReportComponent, MarginsWiderThanThePageAreDropped)
{
    TQRReport report;
    report.Page.SetPaperSize(TQRPaperSize::Custom);
    report.Page.SetWidth(100);
    report.Page.SetLeftMargin(60);
    report.Page.SetRightMargin(60);
    report.Page.SetLength(100);
    report.Page.SetTopMargin(50);
    report.Page.SetBottomMargin(50);
    report.OnPreview = [](TQRPrinter* printer) { printer->SetPreviewOpen(false); };
    report.PreviewModal();
    EXPECT_EQ(report.Page.LeftMargin(), 0);
    EXPECT_EQ(report.Page.RightMargin(), 0);
    EXPECT_EQ(report.Page.TopMargin(), 50) << "equal values keep their margins";
    EXPECT_EQ(report.Page.BottomMargin(), 50);
}

TEST_F(ReportComponent, PrintRequestsAndPreviewClosing)
{
    TQRReport report;
    report.OnPreview = [](TQRPrinter* printer) { printer->SetPreviewOpen(true); };
    // A generated document asked to print: the component generates it again onto
    // the printer (nothing to print for an empty definition) and keeps its printer.
    bool afterPrint = false;
    report.AfterPrint = [&](TQRReport*) { afterPrint = true; };
    struct Asker : TMessageTarget {
        TQRReport* Report;
        void WndProc(TMessage&) override
        {
            TQRPrinter* printer = Report->CurrentPrinter();
            printer->Print();  // posts the request to the component
            Application::ProcessMessages();
            EXPECT_EQ(Report->CurrentPrinter(), printer) << "the previewed printer is current again";
            printer->SetPreviewOpen(false);
            printer->SignalPreviewClosed();
            EXPECT_EQ(Report->CurrentPrinter(), nullptr) << "closing the preview drops the printer";
        }
    } asker;
    asker.Report = &report;
    report.OnPreview = [&](TQRPrinter* printer) {
        printer->SetPreviewOpen(true);
        PostMessage(&asker, WM_USER + 50, 0, 0);
    };
    report.PreviewModal();
    EXPECT_TRUE(afterPrint);

    // Without any printer a print request does nothing.
    SetPrinterBackend(Printers(0));
    TQRReport noPrinter;
    afterPrint = false;
    noPrinter.AfterPrint = [&](TQRReport*) { afterPrint = true; };
    noPrinter.Print();
    EXPECT_FALSE(afterPrint);
    EXPECT_EQ(noPrinter.CurrentPrinter(), nullptr);
}

}  // namespace
}  // namespace qrp
