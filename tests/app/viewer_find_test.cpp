// Finding, selecting and copying text in the viewer, on the bundled sample
// report (three pages of invoices): the find bar's hit count, Enter and F3
// through the hits across pages with the page counter following, queries
// without diacritics, the marks drawn over the page, Escape, selecting with
// Shift and the left button or in selection mode, Ctrl+A and Ctrl+C, and a
// search following the document when another file is opened.

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "app/find_bar.h"
#include "app/viewer_actions.h"
#include "controls/flat_spin_edit.h"
#include "preview/page_text_cache.h"
#include "preview/page_text_source.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/app/viewer_session.h"

namespace qrp {
namespace {

using test::Counter;
using test::ScrollX;
using test::ScrollY;

class ViewerFind : public test::ViewerSession {
protected:
    // The sample report, copied into the scratch folder.
    std::string Sample()
    {
        const std::string copy = Dir.File("sample.qrp");
        std::filesystem::copy_file(QRP_SOURCE_DIR "/examples/sample.qrp", copy);
        return copy;
    }
};

// Types text into the widget with the focus, character by character, as keys with text.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Opens the find bar with Ctrl+F and types the query over what the field held.
void Find(TQRPrew& viewer, const QString& query)
{
    QTest::keyClick(viewer.QRPreview1, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(viewer.FindBar1->isVisible());
    ASSERT_TRUE(viewer.FindBar1->QueryField()->hasFocus());
    Type(viewer.FindBar1->QueryField(), query);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.FindBar1->Finder().Running(); }, 30000));
}

// Replaces the query in the open bar and answers the count once the search has ended.
QString CountFor(TQRPrew& viewer, const QString& query)
{
    viewer.FindBar1->QueryField()->setText(query);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !viewer.FindBar1->Finder().Running(); }, 30000));
    return viewer.FindBar1->CountText();
}

void ExpectPage(TQRPrew& viewer, int page)
{
    EXPECT_EQ(viewer.QRPreview1->PageNumber(), page);
    EXPECT_EQ(viewer.SpinEdit1->Value(), page);
    EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka %1 / 3").arg(page));
}

// A rectangle of the page shown (fractions of it) in the preview viewport's coordinates.
QRect InViewport(TQRPrew& viewer, const QRectF& fractions)
{
    TQRPreviewImage* image = viewer.QRPreview1->PageImage();
    const QRectF onImage = image->ImageArea(fractions);
    return QRect(image->mapTo(viewer.QRPreview1->viewport(), onImage.topLeft().toPoint()), onImage.size().toSize());
}

QRectF CurrentHitArea(TQRPrew& viewer)
{
    const TTextHit* hit = viewer.FindBar1->Finder().CurrentHit();
    QRectF area;
    if (hit)
        for (const QRectF& box : hit->Boxes)
            area = area.united(box);
    return area;
}

// A rectangle of the page image (its own coordinates) as on screen, once the view is drawn.
QImage Shot(TQRPrew& viewer, const QRect& area)
{
    TQRPreviewImage* image = viewer.QRPreview1->PageImage();
    EXPECT_TRUE(image->WaitUntilRendered());
    return image->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

// A left-button drag across the preview's viewport.
void Drag(TQRPrew& viewer, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    QWidget* viewport = viewer.QRPreview1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, modifiers, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     modifiers);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, to);
}

// The line of the page shown whose text is text.
const emf::TTextLine* Line(TQRPrew& viewer, const QString& text)
{
    const auto page = viewer.QRPreview1->ShownPageText();
    if (page)
        for (const emf::TTextLine& line : page->Text.Lines)
            if (line.Text() == text)
                return &line;
    return nullptr;
}

TEST_F(ViewerFind, TypingCountsTheHitsOfTheWholeDocumentWithoutRegardToCaseOrDiacritics)
{
    Run(Sample(), [&](TQRPrew& viewer) {
        EXPECT_FALSE(viewer.FindBar1->isVisible()) << "hidden until called";
        viewer.QRPreview1->setFocus();
        // Two on page 1, seven on page 2, four on page 3; the query runs across three words.
        Find(viewer, QStringLiteral("Lékárna U Anděla"));
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("1 / 13"));
        ExpectPage(viewer, 1);
        EXPECT_EQ(CountFor(viewer, QStringLiteral("lekarna u andela")), QStringLiteral("1 / 13"));
        EXPECT_EQ(CountFor(viewer, QStringLiteral("LEKÁRNA  u ANDĚLA")), QStringLiteral("1 / 13"));
        // The accented name found from its plain spelling, on every page.
        EXPECT_EQ(CountFor(viewer, QStringLiteral("ruzicka")), QStringLiteral("1 / 10"));
        const TTextHit* hit = viewer.FindBar1->Finder().CurrentHit();
        ASSERT_NE(hit, nullptr);
        const auto page = viewer.QRPreview1->ShownPageText();
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->Text.Lines.at(static_cast<std::size_t>(hit->Line)).Text().contains(QStringLiteral("Růžička")));
        EXPECT_EQ(CountFor(viewer, QStringLiteral("Dvořákova")), QStringLiteral("Nenalezeno"));
        EXPECT_EQ(CountFor(viewer, QString()), QString());
        EXPECT_TRUE(ErrorBoxes.empty());
    });
}

TEST_F(ViewerFind, EnterAndF3GoThroughTheHitsAcrossPagesAndTheCounterFollows)
{
    Run(Sample(), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        viewer.QRPreview1->SetZoom(200);
        // "Kavárna": two on page 1, four on page 2, one on page 3.
        Find(viewer, QStringLiteral("kavarna"));
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("1 / 7"));
        QLineEdit* field = viewer.FindBar1->QueryField();
        const auto expect = [&](int number, int page) {
            EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("%1 / 7").arg(number));
            ExpectPage(viewer, page);
            // The hit is scrolled into view.
            const QRect hit = InViewport(viewer, CurrentHitArea(viewer));
            EXPECT_TRUE(viewer.QRPreview1->viewport()->rect().contains(hit)) << number;
        };
        expect(1, 1);
        QTest::keyClick(field, Qt::Key_Return);
        expect(2, 1);
        QTest::keyClick(field, Qt::Key_Return);
        expect(3, 2);
        for (int number = 4; number <= 7; ++number) {
            QTest::keyClick(field, Qt::Key_F3);
            expect(number, number <= 6 ? 2 : 3);
        }
        QTest::keyClick(field, Qt::Key_F3);
        expect(1, 1);
        QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
        expect(7, 3);
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        expect(6, 2);
        // Turned to another page by hand, the next hit is the first after the page's start.
        viewer.FindBar1->QueryField()->clearFocus();
        viewer.QRPreview1->setFocus();
        QTest::keyClick(viewer.QRPreview1, Qt::Key_Home);
        ExpectPage(viewer, 1);
        QTest::keyClick(viewer.QRPreview1, Qt::Key_F3);
        expect(1, 1);
    });
}

TEST_F(ViewerFind, HitsAreMarkedOverTheTextAtEveryZoomAndEscapeTakesTheMarksAway)
{
    Run(Sample(), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        for (const int zoom : {100, 250}) {
            viewer.QRPreview1->SetZoom(zoom);
            Find(viewer, QStringLiteral("prehled vydanych"));
            // The title on page 1 first; each page says it in its heading and its footer.
            ASSERT_EQ(viewer.FindBar1->CountText(), QStringLiteral("1 / 6"));
            ASSERT_TRUE(viewer.QRPreview1->viewport()->rect().contains(InViewport(viewer, CurrentHitArea(viewer))));
            // The hit's box on the page image and a band round it.
            const QRect hit = viewer.QRPreview1->PageImage()->ImageArea(CurrentHitArea(viewer)).toAlignedRect();
            const int band = hit.height();
            const QRect area = hit.adjusted(-band, -band, band, band);
            const QImage marked = Shot(viewer, area);
            // Escape in the query field closes the bar; the page is drawn as before the search.
            QTest::keyClick(viewer.FindBar1->QueryField(), Qt::Key_Escape);
            EXPECT_FALSE(viewer.FindBar1->isVisible());
            EXPECT_EQ(viewer.FindBar1->Finder().HitCount(), 0u);
            const QImage plain = Shot(viewer, area);
            ASSERT_EQ(marked.size(), area.size());
            ASSERT_EQ(plain.size(), area.size());
            int tinted = 0;
            for (int y = band + 1; y < band + hit.height() - 1; ++y)
                for (int x = band + 1; x < band + hit.width() - 1; ++x)
                    tinted += marked.pixel(x, y) != plain.pixel(x, y);
            EXPECT_GT(tinted, (hit.width() - 2) * (hit.height() - 2) * 9 / 10) << "the hit's box is tinted, zoom " << zoom;
            // Round it, nothing changed: the mark sits on the text.
            const QRect edge(band - 1, band - 1, hit.width() + 2, hit.height() + 2);
            for (int y = 0; y < area.height(); ++y) {
                for (int x = 0; x < area.width(); ++x) {
                    if (!edge.contains(x, y)) {
                        ASSERT_EQ(marked.pixel(x, y), plain.pixel(x, y)) << x << "," << y << " zoom " << zoom;
                    }
                }
            }
            viewer.FindBar1->QueryField()->clear();
        }
        // With the bar open and the page in focus, Escape closes it too.
        Find(viewer, QStringLiteral("faktur"));
        viewer.QRPreview1->setFocus();
        QTest::keyClick(viewer.QRPreview1, Qt::Key_Escape);
        EXPECT_FALSE(viewer.FindBar1->isVisible());
        // Ctrl+F again searches the query kept.
        QTest::keyClick(viewer.QRPreview1, Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.FindBar1->Finder().Running(); }, 30000));
        EXPECT_EQ(viewer.FindBar1->QueryField()->selectedText(), QStringLiteral("faktur"));
        EXPECT_GT(viewer.FindBar1->Finder().HitCount(), 0u);
    });
}

TEST_F(ViewerFind, ShiftDraggingSelectsTheWordsTouchedAndCtrlCCopiesThem)
{
    Run(Sample(), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        viewer.QRPreview1->SetZoom(100);
        const emf::TTextLine* title = Line(viewer, QStringLiteral("Přehled vydaných faktur"));
        ASSERT_NE(title, nullptr);
        const auto page = viewer.QRPreview1->ShownPageText();
        const QRect box = InViewport(viewer, page->Fraction(title->Box));
        ASSERT_TRUE(viewer.QRPreview1->viewport()->rect().contains(box));
        const int scrollX = ScrollX(viewer), scrollY = ScrollY(viewer);
        // Inside the title's line from its first word to its last.
        Drag(viewer, box.topLeft() + QPoint(2, 3), box.bottomRight() - QPoint(2, 3), Qt::ShiftModifier);
        EXPECT_EQ(ScrollX(viewer), scrollX) << "selecting does not pan";
        EXPECT_EQ(ScrollY(viewer), scrollY);
        ASSERT_TRUE(viewer.QRPreview1->HasSelection());
        EXPECT_EQ(viewer.QRPreview1->PageImage()->SelectionMarks().size(), 3u);
        // The page's menu offers "Kopírovat" with a selection.
        QWidget* viewport = viewer.QRPreview1->viewport();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &click);
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.PreviewMenu->isVisible(); }));
        EXPECT_TRUE(viewer.Actions->Copy->isEnabled());
        viewer.PreviewMenu->close();
        QApplication::clipboard()->clear();
        QTest::keyClick(viewer.QRPreview1, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Přehled vydaných faktur"));

        // A plain drag pans and keeps the selection; Escape drops it.
        viewer.QRPreview1->SetZoom(200);
        viewer.QRPreview1->horizontalScrollBar()->setValue(100);
        viewer.QRPreview1->verticalScrollBar()->setValue(100);
        Drag(viewer, QPoint(300, 300), QPoint(250, 260), Qt::NoModifier);
        EXPECT_EQ(ScrollX(viewer), 150);
        EXPECT_EQ(ScrollY(viewer), 140);
        QTest::keyClick(viewer.QRPreview1, Qt::Key_Escape);
        EXPECT_FALSE(viewer.QRPreview1->HasSelection());

        // In selection mode a plain drag selects, here from the end of the line back to its start;
        // the mode is the context menu's checkable item.
        viewer.QRPreview1->SetZoom(100);
        ASSERT_TRUE(viewer.Actions->SelectionMode->isCheckable());
        viewer.Actions->SelectionMode->trigger();
        EXPECT_TRUE(viewer.QRPreview1->SelectionMode());
        const QRect again = InViewport(viewer, page->Fraction(title->Box));
        Drag(viewer, again.bottomRight() - QPoint(2, 3), again.topLeft() + QPoint(2, 3), Qt::NoModifier);
        viewer.Actions->Copy->trigger();
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Přehled vydaných faktur"));
        viewer.Actions->SelectionMode->trigger();
        EXPECT_FALSE(viewer.QRPreview1->SelectionMode());
    });
}

TEST_F(ViewerFind, CtrlASelectsTheWholePageAndCtrlCCopiesItsText)
{
    Run(Sample(), [](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        TQRPrinter& printer = *viewer.QRPreview1->ReportPrinter();
        for (const int pageNumber : {1, 2}) {
            QTest::keyClick(viewer.QRPreview1, Qt::Key_A, Qt::ControlModifier);
            QApplication::clipboard()->clear();
            QTest::keyClick(viewer.QRPreview1, Qt::Key_C, Qt::ControlModifier);
            const auto recording = printer.GetPage(pageNumber);
            ASSERT_TRUE(recording);
            const QString pageText = ReadPageText(*recording).PlainText();
            EXPECT_EQ(QApplication::clipboard()->text(), pageText) << pageNumber;
            EXPECT_TRUE(pageText.contains(pageNumber == 1 ? QStringLiteral("Přehled vydaných faktur")
                                                          : QStringLiteral("pokračování")));
            // Turning the page drops the selection.
            QTest::keyClick(viewer.QRPreview1, Qt::Key_PageDown);
            EXPECT_FALSE(viewer.QRPreview1->HasSelection());
        }
        // With the query field in focus, Ctrl+A and Ctrl+C are the field's.
        QTest::keyClick(viewer.QRPreview1, Qt::Key_F, Qt::ControlModifier);
        Type(viewer.FindBar1->QueryField(), QStringLiteral("leden"));
        QTest::keyClick(viewer.FindBar1->QueryField(), Qt::Key_A, Qt::ControlModifier);
        EXPECT_FALSE(viewer.QRPreview1->HasSelection());
        EXPECT_EQ(viewer.FindBar1->QueryField()->selectedText(), QStringLiteral("leden"));
    });
}

TEST_F(ViewerFind, AnotherFileOpenedIsSearchedInsteadAndAFileReadAgainKeepsItsPage)
{
    const std::string other = Document("five.qrp", 5);
    Run(Sample(), [&](TQRPrew& viewer) {
        viewer.QRPreview1->setFocus();
        Find(viewer, QStringLiteral("stránka"));
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("1 / 3")) << "the sample's footers";
        EXPECT_GT(viewer.QRPreview1->PageTexts()->PagesKept(), 0u);
        viewer.OpenReportFile(other);
        // Every page of the other document says "Stránka N" once; none is current until a step.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.FindBar1->Finder().Running(); }, 30000));
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("0 / 5"));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 1 / 5"));
        QTest::keyClick(viewer.FindBar1->QueryField(), Qt::Key_F3);
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("1 / 5"));
        QTest::keyClick(viewer.FindBar1->QueryField(), Qt::Key_F3, Qt::ShiftModifier);
        EXPECT_EQ(viewer.FindBar1->CountText(), QStringLiteral("5 / 5"));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 5 / 5"));

        // Read again (F5) on page 3: the search starts over, the page stays.
        viewer.ToolButton5Click();
        viewer.ToolButton5Click();
        ASSERT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 5"));
        viewer.ReloadClick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.FindBar1->Finder().Running(); }, 30000));
        EXPECT_EQ(viewer.FindBar1->Finder().HitCount(), 5u);
        QApplication::processEvents();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 5"));
        EXPECT_TRUE(ErrorBoxes.empty());
    });
}

}  // namespace
}  // namespace qrp
