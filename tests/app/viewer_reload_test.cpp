// The viewer reading its file again: after the file changed on disk and
// settled, keeping page, zoom and scroll position; a damaged or vanished file
// leaving the shown document with a note in the status bar; F5 at once.

#include <filesystem>

#include <QScrollBar>
#include <QTest>

#include "app/file_reloader.h"
#include "controls/flat_spin_edit.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"
#include "tests/app/viewer_session.h"

namespace qrp {
namespace {

using namespace std::chrono_literals;
using test::Counter;
using test::ScrollX;
using test::ScrollY;

class ViewerReload : public test::ViewerSession {
protected:
    static bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 10000); }
    static test::Bytes Damaged(int pages)
    {
        test::Bytes bytes = test::MakeDocument(pages, false);
        bytes[136] = 7;  // page 1 is no recording
        return bytes;
    }
};

TEST_F(ViewerReload, ARewrittenFileIsReadAgainOnTheSamePageZoomAndPlace)
{
    const std::string file = Document("report.qrp", 5);
    Run(file, [&](TQRPrew& viewer) {
        viewer.Reloader().SetSettleTime(50ms);
        viewer.ToolButton6Click();
        viewer.ToolButton6Click();
        viewer.QRPreview1->SetZoom(150);
        viewer.QRPreview1->horizontalScrollBar()->setValue(120);
        viewer.QRPreview1->verticalScrollBar()->setValue(410);
        // Replaced by a rename, as editors do, with another page count and other pages.
        std::vector<TMetafile> rewritten;
        for (int n = 1; n <= 4; ++n)
            rewritten.push_back(test::MakePage(10 + n));
        Replace(file, test::MakeDocument(rewritten, false));
        ASSERT_TRUE(WaitFor([&] { return Counter(viewer) == QStringLiteral("Stránka 3 / 4"); })) << Counter(viewer).toStdString();
        EXPECT_EQ(viewer.QRPreview1->PageNumber(), 3);
        EXPECT_TRUE(viewer.QRPreview1->PageImage()->PageLoaded());
        EXPECT_EQ(viewer.QRPreview1->Zoom(), 150);
        EXPECT_EQ(viewer.QRPreview1->ZoomMode(), zmFixed);
        EXPECT_EQ(ScrollX(viewer), 120);
        EXPECT_EQ(ScrollY(viewer), 410);
        // The page shown and those drawn ahead are the new file's, none kept from the old one.
        EXPECT_EQ(viewer.QRPreview1->PageImage()->Recording()->Bytes(), rewritten[2].Bytes());
        viewer.ToolButton5Click();
        EXPECT_EQ(viewer.QRPreview1->PageImage()->Recording()->Bytes(), rewritten[1].Bytes());
        viewer.ToolButton6Click();
        viewer.ToolButton6Click();
        EXPECT_EQ(viewer.QRPreview1->PageImage()->Recording()->Bytes(), rewritten[3].Bytes());
        viewer.ToolButton5Click();
        // Rewritten in place, now shorter than the page shown: the last page.
        viewer.QRPreview1->ZoomPageWidth();
        test::WriteWholeFile(file, test::MakeDocument(2, false));
        ASSERT_TRUE(WaitFor([&] { return Counter(viewer) == QStringLiteral("Stránka 2 / 2"); })) << Counter(viewer).toStdString();
        EXPECT_EQ(viewer.SpinEdit1->Value(), 2);
        EXPECT_EQ(viewer.QRPreview1->ZoomMode(), zmPageWidth);
        // The watch goes on after the rename replaced the watched file.
        Replace(file, test::MakeDocument(7, false));
        ASSERT_TRUE(WaitFor([&] { return Counter(viewer) == QStringLiteral("Stránka 2 / 7"); }));
        EXPECT_TRUE(viewer.StatusNote().isEmpty());
        EXPECT_TRUE(ErrorBoxes.empty());
    });
}

TEST_F(ViewerReload, ADamagedOrVanishedFileLeavesTheShownDocumentWithANote)
{
    const std::string file = Document("report.qrp", 3);
    Run(file, [&](TQRPrew& viewer) {
        viewer.Reloader().SetSettleTime(50ms);
        viewer.ToolButton6Click();
        Replace(file, Damaged(9));
        ASSERT_TRUE(WaitFor([&] { return !viewer.StatusNote().isEmpty(); }));
        EXPECT_EQ(viewer.StatusNote(),
                  QString::fromStdString("Soubor " + file + " se změnil a nelze ho načíst: Metafile is not valid"));
        EXPECT_TRUE(ErrorBoxes.empty()) << "no error box for a change on disk";
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 2 / 3"));
        EXPECT_EQ(viewer.QRPreview1->ReportPrinter()->DocState, rpsFinished);
        // The shown document's pages are still there to page through.
        viewer.ToolButton6Click();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 3"));
        EXPECT_TRUE(viewer.QRPreview1->PageImage()->PageLoaded());

        std::filesystem::remove(file);
        ASSERT_TRUE(WaitFor([&] { return viewer.StatusNote().contains(QStringLiteral("odstraněn")); }))
            << viewer.StatusNote().toStdString();
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 3"));
        viewer.ToolButton5Click();
        EXPECT_TRUE(viewer.QRPreview1->PageImage()->PageLoaded());

        // Written anew: read again, the note gone.
        test::WriteWholeFile(file, test::MakeDocument(4, false));
        ASSERT_TRUE(WaitFor([&] { return Counter(viewer) == QStringLiteral("Stránka 2 / 4"); }));
        EXPECT_TRUE(viewer.StatusNote().isEmpty());
        EXPECT_TRUE(ErrorBoxes.empty());
    });
}

TEST_F(ViewerReload, F5ReadsTheFileAgainAtOnceAndShowsWhyItCannot)
{
    const std::string file = Document("report.qrp", 3);
    Run(file, [&](TQRPrew& viewer) {
        // Changes on disk wait far longer than this test: only F5 reads the file.
        viewer.Reloader().SetSettleTime(1h);
        viewer.ToolButton7Click();
        test::WriteWholeFile(file, test::MakeDocument(6, false));
        QTest::keyClick(viewer.QRPreview1, Qt::Key_F5);
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 6"));
        test::WriteWholeFile(file, Damaged(2));
        QTest::keyClick(viewer.QRPreview1, Qt::Key_F5);
        EXPECT_EQ(ErrorBoxes, (std::vector<std::string> {"Soubor " + file + " nelze načíst: Metafile is not valid"}));
        EXPECT_EQ(Counter(viewer), QStringLiteral("Stránka 3 / 6"));
        EXPECT_EQ(viewer.QRPreview1->ReportPrinter()->PageTotal, 6);
    });
}

}  // namespace
}  // namespace qrp
