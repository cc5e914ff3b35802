// The viewer under the mouse: Ctrl+wheel zooming about the pointer, the wheel
// turning pages past a resistance, panning by dragging, the preview's context
// menu, export, and report files dropped onto the window.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include "app/report_export.h"
#include "app/viewer_actions.h"
#include "controls/flat_spin_edit.h"
#include "export/export_filters.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/app/viewer_session.h"

namespace qrp {
namespace {

using test::Counter;
using test::ScrollX;
using test::ScrollY;

class ViewerMouse : public test::ViewerSession {};

// One wheel event at pos in the preview's viewport: angle in eighths of a
// degree (120 a notch), pixels for a trackpad.
void Wheel(TQRPrew& viewer, QPoint pos, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int pixels = 0)
{
    QWidget* viewport = viewer.QRPreview1->viewport();
    QWheelEvent event(pos, viewport->mapToGlobal(pos), QPoint(0, pixels), QPoint(0, angle), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

// Where the pixel at pos of the viewport lies on the page, in fractions of its width and height.
QPointF PagePoint(TQRPrew& viewer, QPoint pos)
{
    const QRect image = viewer.QRPreview1->PageImage()->geometry();
    const QPointF page(image.width() - 4, image.height() - 4);
    return {(pos.x() + ScrollX(viewer) - image.x()) / page.x(), (pos.y() + ScrollY(viewer) - image.y()) / page.y()};
}

TEST_F(ViewerMouse, CtrlWheelZoomsAboutThePointer)
{
    Run(Document("one.qrp", 1), [](TQRPrew& viewer) {
        viewer.QRPreview1->SetZoom(200);
        viewer.QRPreview1->horizontalScrollBar()->setValue(300);
        viewer.QRPreview1->verticalScrollBar()->setValue(700);
        for (const QPoint pointer : {QPoint(250, 180), QPoint(40, 300)}) {
            const QPointF before = PagePoint(viewer, pointer);
            const int zoom = viewer.QRPreview1->Zoom();
            Wheel(viewer, pointer, 120, Qt::ControlModifier);
            EXPECT_EQ(viewer.QRPreview1->Zoom(), TQRPreview::ZoomStepIn(zoom));
            const QPointF after = PagePoint(viewer, pointer);
            const QRect image = viewer.QRPreview1->PageImage()->geometry();
            // Within a pixel of the zoomed page.
            EXPECT_LE(std::abs(after.x() - before.x()) * (image.width() - 4), 1.0);
            EXPECT_LE(std::abs(after.y() - before.y()) * (image.height() - 4), 1.0);
        }
        const QPoint pointer(300, 200);
        const QPointF before = PagePoint(viewer, pointer);
        Wheel(viewer, pointer, -120, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 300);
        const QPointF after = PagePoint(viewer, pointer);
        EXPECT_LE(std::abs(after.y() - before.y()) * (viewer.QRPreview1->PageImage()->height() - 4), 1.0);
        // Half a notch does nothing yet; the other half makes one step.
        Wheel(viewer, pointer, -60, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 300);
        Wheel(viewer, pointer, -60, Qt::ControlModifier);
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 200);
    });
}

TEST_F(ViewerMouse, TheWheelTurnsThePageOnlyAfterPushingPastTheEdge)
{
    Run(Document("three.qrp", 3), [](TQRPrew& viewer) {
        QScrollBar* bar = viewer.QRPreview1->verticalScrollBar();
        const QPoint pointer(200, 200);
        ASSERT_GT(bar->maximum(), 0);
        bar->setValue(bar->maximum() - 10);
        // This notch reaches the end; the next two push against it without turning.
        Wheel(viewer, pointer, -120);
        EXPECT_EQ(bar->value(), bar->maximum());
        Wheel(viewer, pointer, -120);
        Wheel(viewer, pointer, -120);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 1);
        Wheel(viewer, pointer, -120);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 2);
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 2 / 3"));
        EXPECT_EQ(viewer.SpinEdit1->Value(), 2);
        EXPECT_EQ(bar->value(), 0) << "the next page is entered at its top";
        // Up at the top: a push back the other way starts the count over.
        Wheel(viewer, pointer, 120);
        Wheel(viewer, pointer, 120);
        Wheel(viewer, pointer, -120);
        EXPECT_GT(bar->value(), 0);
        bar->setValue(0);
        Wheel(viewer, pointer, 120);
        Wheel(viewer, pointer, 120);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 2);
        Wheel(viewer, pointer, 120);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 1);
        EXPECT_EQ(bar->value(), bar->maximum()) << "the previous page is entered at its bottom";
        // A trackpad's pixels: three notches' worth of scrolling past the end.
        const int notchPixels = QApplication::wheelScrollLines() * bar->singleStep();
        Wheel(viewer, pointer, -notchPixels * 2, Qt::NoModifier, -notchPixels * 2);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 1);
        Wheel(viewer, pointer, -notchPixels * 2, Qt::NoModifier, -notchPixels * 2);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 2);
        // No page after the last.
        viewer.ToolButton7Click();
        bar->setValue(bar->maximum());
        for (int i = 0; i < 6; ++i)
            Wheel(viewer, pointer, -120);
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 3);
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 3"));
    });
}

TEST_F(ViewerMouse, DraggingWithTheLeftButtonPans)
{
    Run(Document("one.qrp", 1), [](TQRPrew& viewer) {
        viewer.QRPreview1->SetZoom(200);
        viewer.QRPreview1->horizontalScrollBar()->setValue(200);
        viewer.QRPreview1->verticalScrollBar()->setValue(300);
        QWidget* viewport = viewer.QRPreview1->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
        EXPECT_EQ(viewport->cursor().shape(), Qt::ClosedHandCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(260, 210), viewport->mapToGlobal(QPointF(260, 210)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        EXPECT_EQ(ScrollX(viewer), 240);
        EXPECT_EQ(ScrollY(viewer), 390);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(260, 210));
        EXPECT_NE(viewport->cursor().shape(), Qt::ClosedHandCursor);
        // Moving without the button held pans no more.
        QMouseEvent hover(QEvent::MouseMove, QPointF(100, 100), viewport->mapToGlobal(QPointF(100, 100)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &hover);
        EXPECT_EQ(ScrollX(viewer), 240);
        EXPECT_EQ(ScrollY(viewer), 390);
    });
}

TEST_F(ViewerMouse, TheContextMenuOffersTheCommandsAndRunsThem)
{
    CancelDialogs();
    Run(Document("four.qrp", 4), [&](TQRPrew& viewer) {
        QWidget* viewport = viewer.QRPreview1->viewport();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 100), viewport->mapToGlobal(QPoint(100, 100)));
        QApplication::sendEvent(viewport, &click);
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.PreviewMenu->isVisible(); }));
        QStringList texts;
        for (QAction* action : viewer.PreviewMenu->actions())
            if (!action->isSeparator())
                texts << action->text();
        EXPECT_FALSE(viewer.Actions->Copy->isEnabled()) << "nothing is selected";
        viewer.PreviewMenu->close();
        EXPECT_TRUE(viewer.Actions->Copy->isEnabled()) << "Ctrl+C stays live once the menu is closed";
        EXPECT_EQ(texts, (QStringList {"Zobrazit celou stránku", "Zobrazení velikosti 100%", "Zobrazit na šířku formuláře",
                                       "Zvětšit", "Zmenšit", "První stránka", "Předchozí stránka", "Další stránka",
                                       "Poslední stránka", "Načíst soubor", "Tisk sestavy", "Znovu načíst soubor",
                                       "Exportovat do PDF, PNG nebo SVG…", "Najít…", "Kopírovat", "Vybrat vše",
                                       "Režim výběru textu"}));
        const auto item = [&](int index) { return viewer.PreviewMenu->actions().at(index); };
        TQRPreview& preview = *viewer.QRPreview1;
        item(0)->trigger();
        EXPECT_EQ(preview.ZoomMode(), zmWholePage);
        item(2)->trigger();
        EXPECT_EQ(preview.ZoomMode(), zmPageWidth);
        item(1)->trigger();
        EXPECT_EQ(preview.Zoom(), 100);
        item(3)->trigger();
        EXPECT_EQ(preview.Zoom(), 125);
        item(4)->trigger();
        EXPECT_EQ(preview.Zoom(), 100);
        // After the separator: the page commands.
        item(9)->trigger();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 4 / 4"));
        item(7)->trigger();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 4"));
        item(6)->trigger();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 4"));
        item(8)->trigger();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 2 / 4"));
        EXPECT_EQ(viewer.SpinEdit1->Value(), 2);
        item(11)->trigger();
        EXPECT_EQ(LastDialogClass, QStringLiteral("QFileDialog")) << "open";
        LastDialogClass.clear();
        item(14)->trigger();
        EXPECT_EQ(LastDialogClass, QStringLiteral("QFileDialog")) << "export";
        item(13)->trigger();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 2 / 4")) << "reload keeps the page";
        EXPECT_TRUE(ErrorBoxes.empty());
    });
}

TEST_F(ViewerMouse, ExportWritesTheChosenFormatAndNamesTheFileItCannotWrite)
{
    const std::string report = Document("three.qrp", 3);
    Run(report, [&](TQRPrew& viewer) {
        // The save dialog offers the three formats and suggests the report's name; OK takes PDF.
        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            offered = dialog->nameFilters();
            dialog->selectFile(QString::fromStdString(Dir.File("three.pdf")));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        viewer.Actions->Export->trigger();
        EXPECT_EQ(offered, (QStringList {"Soubory PDF (*.pdf)", "Soubory PNG (*.png)", "Soubory SVG (*.svg)"}));
        const test::Bytes pdf = test::ReadWholeFile(Dir.File("three.pdf"));
        ASSERT_GT(pdf.size(), 4u);
        EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 4), "%PDF");
        EXPECT_TRUE(ErrorBoxes.empty());
        const std::string unwritable = Dir.File("no such folder/three.svg");
        try {
            ExportReport(*viewer.QRPreview1->ReportPrinter(), unwritable, *FindExportFilter("svg"));
            ADD_FAILURE() << "an export into a missing folder reported success";
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Soubor " + unwritable + " nelze uložit: ", 0), 0u) << error.what();
        }
    });
}

// A drag of urls over the window, then the drop if it was accepted.
bool Drop(TQRPrew& viewer, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at(300, 300);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&viewer, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&viewer, &drop);
    return drop.isAccepted();
}

TEST_F(ViewerMouse, AReportFileDroppedOntoTheWindowOpensOthersAreRefused)
{
    const std::string other = Document("OTHER.QRP", 6);
    test::WriteWholeFile(Dir.File("notes.txt"), {'h', 'i'});
    test::Bytes damaged = test::MakeDocument(2, false);
    damaged[136] = 7;  // page 1 is no recording
    test::WriteWholeFile(Dir.File("damaged.qrp"), damaged);
    Run(Document("two.qrp", 2), [&](TQRPrew& viewer) {
        EXPECT_FALSE(Drop(viewer, {QUrl::fromLocalFile(QString::fromStdString(Dir.File("notes.txt")))}));
        EXPECT_FALSE(Drop(viewer, {QUrl(QStringLiteral("https://example.org/report.qrp"))}));
        EXPECT_FALSE(Drop(viewer, {QUrl::fromLocalFile(QString::fromStdString(other)),
                                   QUrl::fromLocalFile(QString::fromStdString(other))}));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 2"));
        EXPECT_TRUE(Drop(viewer, {QUrl::fromLocalFile(QString::fromStdString(other))}));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 6"));
        EXPECT_EQ(viewer.ShownFile(), other);
        // A damaged report file: the error box naming it, the document on screen stays.
        EXPECT_TRUE(Drop(viewer, {QUrl::fromLocalFile(QString::fromStdString(Dir.File("damaged.qrp")))}));
        EXPECT_EQ(ErrorBoxes, (std::vector<std::string> {"Soubor " + Dir.File("damaged.qrp") +
                                                         " nelze načíst: Metafile is not valid"}));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 6"));
        EXPECT_EQ(viewer.QRPreview1->ReportPrinter()->PageTotal, 6);
    });
}

}  // namespace
}  // namespace qrp
