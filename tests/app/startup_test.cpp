// The program's start-up and end: the loader's report component previews its
// empty report in the preview window and returns when the window closes or a
// quit request arrives.

#include <gtest/gtest.h>

#include <QTimer>

#include "app/preview_host.h"
#include "app/qrp_load.h"
#include "platform/messages/application.h"

namespace qrp {
namespace {

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { Application::ResetTerminated(); }
    void TearDown() override { Application::ResetTerminated(); }
};

TEST_F(StartUp, TheEmptyReportIsPreviewedUntilTheWindowCloses)
{
    TQRPLoad load;
    EXPECT_FALSE(InstallDir.empty());
    EXPECT_EQ(InstallDir.back(), '/');
    int announced = -1;
    TQRPrinter* printer = nullptr;
    // Once the loop runs: note what the preview saw, then close it as a user would.
    QTimer::singleShot(50, [&] {
        TPreviewHost* host = load.PreviewWindow();
        ASSERT_NE(host, nullptr);
        announced = host->PagesAnnounced();
        printer = host->ReportPrinter();
        ASSERT_NE(printer, nullptr);
        EXPECT_EQ(printer->DocState, rpsFinished);
        EXPECT_EQ(printer->PageTotal, 0);
        EXPECT_EQ(printer->PagesReady(), 1);
        EXPECT_FALSE(printer->LoadedFromFile());
        EXPECT_FALSE(printer->Compression());
        EXPECT_TRUE(printer->PreviewOpen());
        host->close();
    });
    load.QRReport1.PreviewModal();
    EXPECT_EQ(announced, 1) << "one page-available notification, carrying 1";
    EXPECT_EQ(load.QRReport1.CurrentPrinter(), nullptr) << "closing the preview dropped the printer";
    EXPECT_TRUE(load.QRReport1.Idle);
}

TEST_F(StartUp, AQuitRequestEndsThePreview)
{
    TQRPLoad load;
    QTimer::singleShot(30, [] { Application::Terminate(); });
    load.QRReport1.PreviewModal();
    EXPECT_TRUE(Application::Terminated());
    EXPECT_NE(load.QRReport1.CurrentPrinter(), nullptr) << "the window still holds it until the loader goes";
}

}  // namespace
}  // namespace qrp
