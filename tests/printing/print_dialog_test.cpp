// The print dialog component over Qt's real print dialog, on the printers of
// this machine as Qt lists them: no printing service is asked, so the PDF
// file printer is the only one.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include "platform/printing/printer.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/qt_printer_backend.h"
#include "printing/qr_print_dialog.h"
#include "tests/support/print_dialog_driver.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

class PrintDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CUPS_SERVER", "/nonexistent/qrp-cups.sock", 1);
        SetPrinterBackend(nullptr);
        Printer = std::make_unique<TPrinter>();
        ASSERT_EQ(Printer->GetPrinter().Device, kPdfFilePrinter);
        // A5 across, three copies, into a.pdf.
        TDeviceMode mode = *Printer->DeviceMode();
        mode.PaperSize = 11;
        mode.Orientation = DMORIENT_LANDSCAPE;
        mode.Copies = 3;
        Printer->SetPrinter(kPdfFilePrinter, "", Dir.File("a.pdf"), mode);
        Dialog.EditedPrinter = Printer.get();
    }

    test::ScratchDir Dir;
    std::unique_ptr<TPrinter> Printer;
    TQRPrintDialog Dialog;
};

TEST_F(PrintDialog, StartsFromTheEditedPrinterAndSelectsTheConfirmedChoicesIntoIt)
{
    Dialog.Options = poPageNums;
    Dialog.MinPage = 1;
    Dialog.MaxPage = 12;
    Dialog.FromPage = 1;
    Dialog.ToPage = 12;
    QPageLayout shown;
    int copiesShown = 0;
    QString fileShown;
    test::AnswerPrintDialog(
        [&](QPrintDialog& dialog) {
            shown = dialog.printer()->pageLayout();
            copiesShown = dialog.printer()->copyCount();
            fileShown = dialog.printer()->outputFileName();
            EXPECT_TRUE(dialog.testOption(QPrintDialog::PrintPageRange));
            EXPECT_FALSE(dialog.testOption(QPrintDialog::PrintSelection));
            EXPECT_EQ(dialog.minPage(), 1);
            EXPECT_EQ(dialog.maxPage(), 12);
            EXPECT_EQ(dialog.fromPage(), 1);
            EXPECT_EQ(dialog.toPage(), 12);
            test::ChooseOutputFile(dialog, Dir.File("b.pdf"));
            test::ChoosePageRange(dialog, 3, 5);
            test::ChooseCopies(dialog, 2);
        },
        true);
    ASSERT_TRUE(Dialog.RunModal());
    EXPECT_EQ(shown.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(shown.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(copiesShown, 3);
    EXPECT_EQ(fileShown.toStdString(), Dir.File("a.pdf"));

    EXPECT_EQ(Dialog.PrintRange, prPageNums);
    EXPECT_EQ(Dialog.FromPage, 3);
    EXPECT_EQ(Dialog.ToPage, 5);
    EXPECT_EQ(Dialog.Copies(), 2);
    EXPECT_TRUE(Dialog.PrintToFile);
    EXPECT_EQ(Dialog.DeviceName, kPdfFilePrinter) << "what the dialog was prepared with";
    const TPrinterSelection chosen = Printer->GetPrinter();
    EXPECT_EQ(chosen.Device, kPdfFilePrinter);
    EXPECT_EQ(chosen.Port, Dir.File("b.pdf")) << "the file printer's port is the file chosen";
    ASSERT_TRUE(chosen.DeviceMode);
    EXPECT_EQ(chosen.DeviceMode->Copies, 2);
    EXPECT_EQ(chosen.DeviceMode->Orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(chosen.DeviceMode->PaperSize, 11);
}

TEST_F(PrintDialog, ACancelledDialogChangesNothing)
{
    const TPrinterSelection before = Printer->GetPrinter();
    test::AnswerPrintDialog(
        [&](QPrintDialog& dialog) {
            test::ChooseOutputFile(dialog, Dir.File("c.pdf"));
            test::ChooseCopies(dialog, 7);
        },
        false);
    EXPECT_FALSE(Dialog.RunModal());
    const TPrinterSelection after = Printer->GetPrinter();
    EXPECT_EQ(after.Device, before.Device);
    EXPECT_EQ(after.Port, before.Port);
    EXPECT_EQ(after.DeviceMode, before.DeviceMode);
}

TEST_F(PrintDialog, ShownCentredWhileTheOtherWindowsAreDisabled)
{
    QWidget other;
    other.setWindowTitle("Other window");
    other.show();
    QApplication::setActiveWindow(&other);
    std::vector<std::string> events;
    Dialog.OnShow = [&](TQRCommonDialog* sender) {
        EXPECT_EQ(sender, &Dialog);
        events.push_back(sender->DialogWindow() ? "show with window" : "show");
    };
    Dialog.OnClose = [&](TQRCommonDialog*) { events.push_back("close"); };
    QRect frame, screen;
    bool otherEnabled = true;
    test::AnswerPrintDialog(
        [&](QPrintDialog& dialog) {
            EXPECT_EQ(Dialog.DialogWindow(), &dialog);
            frame = dialog.frameGeometry();
            screen = dialog.screen()->geometry();
            otherEnabled = other.isEnabled();
            EXPECT_TRUE(dialog.isEnabled());
        },
        false);
    Dialog.RunModal();
    QApplication::processEvents();  // activation comes through the window system
    EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 3);
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(other.isEnabled()) << "enabled again afterwards";
    EXPECT_EQ(QApplication::activeWindow(), &other) << "the active window is active again";
    EXPECT_EQ(events, (std::vector<std::string> {"show with window", "close"}));
    EXPECT_EQ(Dialog.DialogWindow(), nullptr);
}

TEST_F(PrintDialog, WritingCopiesSetsThePrintersCopies)
{
    Dialog.SetCopies(4);
    EXPECT_EQ(Dialog.Copies(), 4);
    EXPECT_EQ(Printer->Copies(), 4);
}

}  // namespace
}  // namespace qrp
