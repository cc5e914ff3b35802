// The viewer's keys: paging (the counter and the spin edit follow), scrolling
// a screen on into the next page, the zoom ladder, the commands' keys, the
// keys the page number edit keeps, and the open dialog's remembered folder.

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "app/qrp_load.h"
#include "component/qr_report.h"
#include "app/viewer_actions.h"
#include "controls/flat_spin_edit.h"
#include "preview/qr_preview.h"
#include "tests/app/viewer_session.h"

namespace qrp {
namespace {

using test::Counter;
using test::ScrollY;

class ViewerKeys : public test::ViewerSession {};

// Presses key on the preview, as a user with the page in focus would; the
// window is active again after a dialog.
void Press(TQRPrew& viewer, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    viewer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    QTest::keyClick(viewer.QRPreview1, key, modifiers);
}

void ExpectPage(TQRPrew& viewer, int page, int total)
{
    EXPECT_EQ(viewer.QRPreview1->PageNumber(), page);
    EXPECT_EQ(viewer.SpinEdit1->Value(), page);
    EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka %1 / %2").arg(page).arg(total));
}

TEST_F(ViewerKeys, PageKeysMoveThroughTheDocumentAndTheCounterFollows)
{
    Run(Document("five.qrp", 5), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        Press(viewer, Qt::Key_PageDown);
        ExpectPage(viewer, 2, 5);
        Press(viewer, Qt::Key_PageDown);
        ExpectPage(viewer, 3, 5);
        Press(viewer, Qt::Key_PageUp);
        ExpectPage(viewer, 2, 5);
        Press(viewer, Qt::Key_PageDown, Qt::ControlModifier);
        ExpectPage(viewer, 5, 5);
        Press(viewer, Qt::Key_PageDown);
        ExpectPage(viewer, 5, 5);
        Press(viewer, Qt::Key_PageUp, Qt::ControlModifier);
        ExpectPage(viewer, 1, 5);
        Press(viewer, Qt::Key_PageUp);
        ExpectPage(viewer, 1, 5);
        // Only Ctrl alone makes Page Down "last".
        Press(viewer, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier);
        ExpectPage(viewer, 1, 5);
        Press(viewer, Qt::Key_End);
        ExpectPage(viewer, 5, 5);
        Press(viewer, Qt::Key_Home);
        ExpectPage(viewer, 1, 5);
    });
}

TEST_F(ViewerKeys, ThePageNumberEditKeepsTheKeysItUses)
{
    Run(Document("five.qrp", 5), [](TQRPrew& viewer) {
        viewer.SpinEdit1->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.SpinEdit1->hasFocus(); }));
        // Up and Down step the number, which goes to that page.
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_Up);
        ExpectPage(viewer, 2, 5);
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_Up);
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_Down);
        ExpectPage(viewer, 2, 5);
        // Home and End move in the text, typing a digit goes to the page.
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_End);
        ExpectPage(viewer, 2, 5);
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_Backspace);
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_4);
        ExpectPage(viewer, 4, 5);
        // The edit does not use Page Down: the page turns.
        QTest::keyClick(viewer.SpinEdit1, Qt::Key_PageDown);
        ExpectPage(viewer, 5, 5);
        EXPECT_TRUE(viewer.SpinEdit1->hasFocus());
    });
}

TEST_F(ViewerKeys, SpaceScrollsAScreenAndAtThePagesEndTurnsIt)
{
    Run(Document("three.qrp", 3), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        QScrollBar* bar = viewer.QRPreview1->verticalScrollBar();
        viewer.QRPreview1->SetZoom(150);
        ASSERT_GT(bar->maximum(), bar->pageStep()) << "the page must be taller than two screens";
        Press(viewer, Qt::Key_Space);
        EXPECT_EQ(bar->value(), bar->pageStep());
        ExpectPage(viewer, 1, 3);
        while (bar->value() < bar->maximum())
            Press(viewer, Qt::Key_Space);
        ExpectPage(viewer, 1, 3);
        Press(viewer, Qt::Key_Space);
        ExpectPage(viewer, 2, 3);
        EXPECT_EQ(bar->value(), 0) << "the next page is entered at its top";
        Press(viewer, Qt::Key_Space, Qt::ShiftModifier);
        ExpectPage(viewer, 1, 3);
        EXPECT_EQ(bar->value(), bar->maximum()) << "the previous page is entered at its bottom";
        Press(viewer, Qt::Key_Space, Qt::ShiftModifier);
        EXPECT_EQ(bar->value(), bar->maximum() - bar->pageStep());
        // The arrows scroll by a line.
        const int before = bar->value();
        Press(viewer, Qt::Key_Down);
        EXPECT_EQ(bar->value(), before + bar->singleStep());
        Press(viewer, Qt::Key_Up);
        EXPECT_EQ(bar->value(), before);
        QScrollBar* across = viewer.QRPreview1->horizontalScrollBar();
        ASSERT_GT(across->maximum(), 0);
        Press(viewer, Qt::Key_Right);
        EXPECT_EQ(across->value(), across->singleStep());
        Press(viewer, Qt::Key_Left);
        EXPECT_EQ(across->value(), 0);
    });
}

TEST_F(ViewerKeys, ZoomKeysClimbTheLadderFromWhereTheZoomIs)
{
    Run(Document("one.qrp", 1), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        viewer.QRPreview1->ZoomWholePage();
        const int fitted = viewer.QRPreview1->Zoom();
        ASSERT_LT(fitted, 100);
        Press(viewer, Qt::Key_Plus);
        const int stepped = viewer.QRPreview1->Zoom();
        EXPECT_GT(stepped, fitted);
        EXPECT_LE(stepped, 100) << "from the current zoom to the next rung, not a rung beyond";
        EXPECT_EQ(viewer.QRPreview1->ZoomMode(), zmFixed);
        Press(viewer, Qt::Key_0, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 100);
        Press(viewer, Qt::Key_Plus);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 125);
        Press(viewer, Qt::Key_Equal, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 150);
        Press(viewer, Qt::Key_Minus);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 125);
        Press(viewer, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 100);
        // The ladder ends inside 2..2000.
        viewer.QRPreview1->SetZoom(2000);
        Press(viewer, Qt::Key_Plus);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 2000);
        viewer.QRPreview1->SetZoom(3);
        Press(viewer, Qt::Key_Minus);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 2);
        Press(viewer, Qt::Key_Minus);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 2);
    });
}

TEST_F(ViewerKeys, CommandKeysRunTheToolBarsCommandsAndWaitWhereItsButtonsWait)
{
    CancelDialogs();
    Run(Document("one.qrp", 1), [&](TQRPrew& viewer) {
        Press(viewer, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(LastDialogClass, QStringLiteral("QFileDialog"));
        constexpr int kUntouched = 42;
        viewer.Report->Tag = kUntouched;
        Press(viewer, Qt::Key_P, Qt::ControlModifier);
        EXPECT_NE(viewer.Report->Tag, kUntouched) << "Ctrl+P ran the print command";
        // While "Zavřít" is held back, so are its keys.
        viewer.SpeedButton1->setEnabled(false);
        Press(viewer, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(viewer.isVisible());
        viewer.SpeedButton2->setEnabled(false);
        LastDialogClass.clear();
        Press(viewer, Qt::Key_O, Qt::ControlModifier);
        EXPECT_TRUE(LastDialogClass.isEmpty());
        EXPECT_FALSE(viewer.Actions->Reload->isEnabled());
        EXPECT_FALSE(viewer.Actions->Export->isEnabled());
        viewer.SpeedButton1->setEnabled(true);
        QPointer<TQRPrew> window(&viewer);
        Press(viewer, Qt::Key_Q, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); })) << "Ctrl+Q closes as Zavřít does";
    });
    Run(Document("two.qrp", 2), [&](TQRPrew& viewer) {
        QPointer<TQRPrew> window(&viewer);
        Press(viewer, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }));
    });
}

TEST_F(ViewerKeys, TheOpenDialogStartsInTheFolderOfTheFileOpenedLast)
{
    CancelDialogs();
    std::filesystem::create_directories(Dir.Root() / "first");
    std::filesystem::create_directories(Dir.Root() / "second");
    const std::string first = Document("first/a.qrp", 1);
    const std::string second = Document("second/b.qrp", 1);
    Run(first, [&](TQRPrew& viewer) {
        Press(viewer, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(LastDialogFolder, QString::fromStdString((Dir.Root() / "first").string()));
        viewer.OpenReportFile(second);
        Press(viewer, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(LastDialogFolder, QString::fromStdString((Dir.Root() / "second").string()));
    });
    EXPECT_TRUE(QSettings(QStringLiteral("qrpview"), QStringLiteral("qrpview")).fileName().startsWith(QDir::tempPath()))
        << "the tests keep away from the real user's settings";
    // The next run remembers it: its first-start dialog opens there.
    LastDialogFolder.clear();
    FirstStart = true;
    TQRPLoad load(std::vector<std::string> {});
    QTimer closeOnceSeen;
    QObject::connect(&closeOnceSeen, &QTimer::timeout, [&] {
        if (!LastDialogFolder.isEmpty() && load.Viewer())
            load.Viewer()->close();
    });
    closeOnceSeen.start(20);
    load.QRReport1.PreviewModal();
    EXPECT_EQ(LastDialogFolder, QString::fromStdString((Dir.Root() / "second").string()));
}

}  // namespace
}  // namespace qrp
