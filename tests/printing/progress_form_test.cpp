// The progress window of a report generated onto the printer.

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "printing/qr_progress_form.h"
#include "report/qr_printer.h"

namespace qrp {
namespace {

class ProgressForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
        Printer = std::make_unique<TQRPrinter>();
        Form.QRPrinter = Printer.get();
        Printer->ClientWindow = &Form;
    }
    void TearDown() override { SetPrinterBackend(nullptr); }

    std::unique_ptr<TQRPrinter> Printer;
    TQRProgressForm Form;
};

TEST_F(ProgressForm, LaidOutAsDesignedAtTheScreenCentre)
{
    EXPECT_EQ(Form.windowTitle(), "Printing progress");
    EXPECT_EQ(Form.size(), QSize(149, 97));
    EXPECT_EQ(Form.Gauge->geometry(), QRect(16, 18, 114, 16));
    EXPECT_EQ(Form.Gauge->minimum(), 0);
    EXPECT_EQ(Form.Gauge->maximum(), 100);
    EXPECT_EQ(Form.Info->geometry(), QRect(0, 44, 145, 13));
    EXPECT_EQ(Form.Info->text(), "");
    EXPECT_TRUE(Form.Info->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(Form.CancelButton->geometry(), QRect(36, 60, 75, 25));
    EXPECT_EQ(Form.CancelButton->text(), "Cancel");
    EXPECT_TRUE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
    Form.show();
    const QRect screen = Form.screen()->geometry();
    const QRect frame = Form.frameGeometry();
    EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2);
}

TEST_F(ProgressForm, ShowsEveryFifthPercentAsThePrinterHasItWhenTheMessageArrives)
{
    const struct {
        int Progress;
        int Gauge;
        const char* Info;
    } steps[] = {{0, 0, "0%  Completed"}, {5, 5, "5%  Completed"}, {7, 5, "5%  Completed"},
                 {10, 10, "10%  Completed"}, {42, 10, "10%  Completed"}, {100, 100, "100%  Completed"}};
    for (const auto& step : steps) {
        Printer->SetProgress(step.Progress);
        Application::ProcessMessages();
        EXPECT_EQ(Form.Gauge->value(), step.Gauge) << step.Progress;
        EXPECT_EQ(Form.Info->text(), step.Info) << step.Progress;
    }
    // The message's own value is not used: the printer's is read.
    Printer->SetProgress(35);
    Printer->SetProgress(36);
    Application::ProcessMessages();
    EXPECT_EQ(Form.Gauge->value(), 100);
}

TEST_F(ProgressForm, CancelAndClosingAskThePrinterToStop)
{
    Form.CancelButton->click();
    EXPECT_TRUE(Printer->CancelRequested);
    Printer->CancelRequested = false;
    Form.show();
    Form.close();
    EXPECT_TRUE(Printer->CancelRequested);
    EXPECT_TRUE(Form.isVisible()) << "the window stays until the generation ends";
}

}  // namespace
}  // namespace qrp
