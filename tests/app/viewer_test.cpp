// The viewer window on the offscreen platform: start-up order, command lines,
// paging, the spin edit, failed loads.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "app/qrp_load.h"
#include "app/qrp_prew.h"
#include "controls/flat_spin_edit.h"
#include "controls/gauge_status_bar.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

class Viewer : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}, -1));
        Application::ResetTerminated();
        FirstStart = true;
    }
    void TearDown() override { Application::ResetTerminated(); }

    std::string Document(const std::string& name, int pages)
    {
        test::WriteWholeFile(Dir.File(name), test::MakeDocument(pages, false));
        return Dir.File(name);
    }

    // Runs the program's start-up with these arguments; check runs once the
    // viewer has handled its start-up timer, then the window is closed.
    void Run(const std::vector<std::string>& arguments, const std::function<void(TQRPrew&)>& check,
             bool expectDialog = false)
    {
        TQRPLoad load(arguments);
        bool dialogSeen = false;
        // An open dialog, if one comes, is cancelled as a user would.
        QTimer dialogWatch;
        QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                dialogSeen = true;
                DialogDirectory = dialog->directory().absolutePath().toStdString();
                dialog->reject();
            }
        });
        dialogWatch.start(20);
        QTimer::singleShot(800, [&] {
            TQRPrew* viewer = load.Viewer();
            ASSERT_NE(viewer, nullptr);
            check(*viewer);
            viewer->close();
        });
        load.QRReport1.PreviewModal();
        EXPECT_EQ(dialogSeen, expectDialog);
        EXPECT_EQ(load.QRReport1.CurrentPrinter(), nullptr) << "closing the viewer dropped the printer";
    }

    test::ScratchDir Dir;
    std::string DialogDirectory;
};

QString Counter(TQRPrew& viewer) { return viewer.StatusBar1->Panels()[0].Text(); }

TEST_F(Viewer, WithoutArgumentsItShowsTheEmptyDocumentAndTheOpenDialog)
{
    Run({}, [](TQRPrew& viewer) {
        EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Náhled tiskové sestavy"));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 1"));
        EXPECT_TRUE(viewer.SpeedButton1->isEnabled()) << "the page-available notification enabled Zavřít";
        EXPECT_FALSE(viewer.Timer1.isActive());
    }, true);
    std::string installDir = InstallDir;
    if (installDir.size() > 1)
        installDir.pop_back();
    EXPECT_EQ(DialogDirectory, installDir) << "the dialog starts in the program's directory";
    EXPECT_FALSE(FirstStart);
}

TEST_F(Viewer, CommandLinesNameTheFileToOpen)
{
    Document("ab.qrp", 3);
    // Joined without separators: "<dir>/a" + "b.qrp".
    Run({Dir.File("a"), "b.qrp"}, [](TQRPrew& viewer) { EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 3")); });
    Document("mixed.Qrp", 2);
    Run({Dir.File("mixed.Qrp")}, [](TQRPrew& viewer) { EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 2")); });
    Document("other.qrpx", 2);
    Run({Dir.File("other.qrpx")}, [](TQRPrew& viewer) { EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 1")); },
        true);
    // A path with blanks that a shell split into two arguments.
    Document("my report.qrp", 4);
    const std::string spaced = Dir.File("my report.qrp");
    const auto blank = spaced.rfind(' ');
    Run({spaced.substr(0, blank), spaced.substr(blank + 1)},
        [](TQRPrew& viewer) { EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 4")); });
}

TEST_F(Viewer, PageButtonsStopAtBothEndsAndTheSpinEditFollows)
{
    Run({Document("five.qrp", 5)}, [](TQRPrew& viewer) {
        viewer.ToolButton5Click();
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 1) << "no page before the first";
        EXPECT_EQ(viewer.SpinEdit1->Value(), 1);
        viewer.ToolButton7Click();
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 5);
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 5 / 5"));
        viewer.ToolButton6Click();
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 5) << "no page after the last";
        EXPECT_EQ(viewer.SpinEdit1->Value(), 5);
        viewer.ToolButton4Click();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 5"));
        // Typing: a number above the page count shows the last page.
        viewer.SpinEdit1->setText(QStringLiteral("3"));
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 3);
        viewer.SpinEdit1->setText(QStringLiteral("77"));
        EXPECT_EQ(viewer.SpinEdit1->Value(), 5);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 5);
    });
}

TEST_F(Viewer, AFileThatCannotBeReadIsRefusedAndTheDocumentOnScreenStays)
{
    const std::string good = Document("good.qrp", 3);
    test::Bytes bad = test::MakeDocument(2, false);
    bad[136] = 7;  // page 1 is no recording
    test::WriteWholeFile(Dir.File("bad.qrp"), bad);
    const std::string expected = "Soubor " + Dir.File("bad.qrp") + " nelze načíst: Metafile is not valid";
    std::vector<std::string> shown;
    Application::SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
    // Named on the command line: the error box naming the file, and no open dialog after it.
    Run({Dir.File("bad.qrp")}, [&](TQRPrew& viewer) { EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 1")); });
    EXPECT_EQ(shown, (std::vector<std::string> {expected}));
    Run({good}, [&](TQRPrew& viewer) {
        viewer.ToolButton7Click();
        try {
            viewer.OpenReportFile(Dir.File("bad.qrp"));
            ADD_FAILURE() << "the damaged file was opened";
        } catch (const std::exception& error) {
            EXPECT_EQ(error.what(), expected);
        }
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 3"));
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 3);
        EXPECT_TRUE(viewer.QRPreview1->PageImage()->PageLoaded());
        EXPECT_EQ(viewer.QRPreview1->ReportPrinter()->DocState, rpsFinished) << "the document is still held";
        // A file that is not there at all is named too.
        EXPECT_THROW(viewer.OpenReportFile(Dir.File("gone.qrp")), std::exception);
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 3"));
    });
    Application::SetExceptionHandler(nullptr);
}

}  // namespace
}  // namespace qrp
