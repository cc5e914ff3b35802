// The program's start-up and end: the loader's report component previews its
// empty report in the viewer window and returns when the window closes or a
// quit request arrives.

#include <gtest/gtest.h>

#include <QTimer>

#include "app/qrp_load.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview.h"

namespace qrp {
namespace {

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}, -1));
        Application::ResetTerminated();
        FirstStart = false;  // no open dialog in these runs
    }
    void TearDown() override { Application::ResetTerminated(); }
};

TEST_F(StartUp, TheEmptyReportIsPreviewedUntilTheWindowCloses)
{
    TQRPLoad load;
    EXPECT_FALSE(InstallDir.empty());
    EXPECT_EQ(InstallDir.back(), '/');
    bool checked = false;
    QTimer::singleShot(50, [&] {
        TQRPrew* viewer = load.Viewer();
        ASSERT_NE(viewer, nullptr);
        TQRPrinter* printer = viewer->QRPreview1->ReportPrinter();
        ASSERT_NE(printer, nullptr);
        EXPECT_EQ(printer, load.QRReport1.CurrentPrinter());
        EXPECT_EQ(printer->DocState, rpsFinished);
        EXPECT_EQ(printer->PageTotal, 0);
        EXPECT_EQ(printer->PagesReady(), 1);
        EXPECT_TRUE(printer->PreviewOpen());
        EXPECT_TRUE(viewer->Timer1.isActive()) << "the start-up timer has not ticked yet";
        EXPECT_TRUE(viewer->SpeedButton1->isEnabled()) << "the page-available notification came first";
        checked = true;
        viewer->close();
    });
    load.QRReport1.PreviewModal();
    EXPECT_TRUE(checked);
    EXPECT_EQ(load.QRReport1.CurrentPrinter(), nullptr) << "closing the viewer dropped the printer";
    EXPECT_TRUE(load.QRReport1.Idle);
}

TEST_F(StartUp, AQuitRequestEndsThePreview)
{
    TQRPLoad load;
    QTimer::singleShot(30, [] { Application::Terminate(); });
    load.QRReport1.PreviewModal();
    EXPECT_TRUE(Application::Terminated());
    EXPECT_NE(load.Viewer(), nullptr) << "the viewer stays until the loader goes";
}

}  // namespace
}  // namespace qrp
