// The fidelity pages (see README.md here): each family of real-world content
// drawn to PNG, to PDF rasterised back by poppler, and to SVG rasterised back
// by Qt's SVG renderer, against the reference player's picture of the page.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "export/pdf_export_filter.h"
#include "export/svg_export_filter.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/page_image.h"
#include "tests/support/ink_agreement.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

constexpr double kLeastAgreement = 0.98;

std::filesystem::path PagesDir() { return std::filesystem::path(QRP_SOURCE_DIR) / "tests" / "fidelity" / "pages"; }

struct TFidelityPage {
    std::string Name;
    TMetafile Page;
    QImage Reference;
};

std::vector<TFidelityPage> FidelityPages()
{
    std::vector<TFidelityPage> pages;
    for (const auto& entry : std::filesystem::directory_iterator(PagesDir())) {
        if (entry.path().extension() != ".emf")
            continue;
        TFidelityPage page;
        page.Name = entry.path().stem().string();
        page.Page.LoadFromFile(entry.path().string());
        page.Reference = QImage(QString::fromStdString((PagesDir() / (page.Name + ".wine.png")).string()));
        pages.push_back(std::move(page));
    }
    return pages;
}

// The page written through an export filter into a file of its own.
template <typename TFilter>
std::string Exported(const test::ScratchDir& dir, const TFidelityPage& page, const char* extension)
{
    const std::string file = dir.File(page.Name + extension);
    TFilter filter(file);
    filter.Start(page.Name, 1);
    filter.WritePage(page.Page, 1);
    filter.Finish();
    return file;
}

void ExpectAgreement(const std::string& page, const char* device, const QImage& reference, const QImage& render)
{
    ASSERT_FALSE(render.isNull()) << page << " (" << device << ") was not drawn";
    const test::TInkAgreement agreement = test::InkAgreement(reference, render);
    EXPECT_GE(agreement.F1, kLeastAgreement) << page << " (" << device << "): recall " << agreement.Recall
                                             << ", precision " << agreement.Precision;
}

class Fidelity : public ::testing::Test {
protected:
    void SetUp() override
    {
        Pages = FidelityPages();
        ASSERT_GE(Pages.size(), 6u);
        for (const auto& page : Pages)
            ASSERT_FALSE(page.Reference.isNull()) << page.Name << " has no reference picture";
    }
    std::vector<TFidelityPage> Pages;
    test::ScratchDir Dir;
};

TEST_F(Fidelity, PngPagesAgreeWithTheReferencePlayer)
{
    for (const auto& page : Pages)
        ExpectAgreement(page.Name, "PNG", page.Reference, emf::RenderPageImage(page.Page, 96));
}

TEST_F(Fidelity, PdfPagesRasterisedAgreeWithTheReferencePlayer)
{
    if (std::system("pdftoppm -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    for (const auto& page : Pages) {
        const std::string pdf = Exported<TQRPdfExportFilter>(Dir, page, ".pdf");
        const std::string picture = Dir.File(page.Name);
        ASSERT_EQ(std::system(("pdftoppm -r 96 -png -singlefile '" + pdf + "' '" + picture + "'").c_str()), 0);
        ExpectAgreement(page.Name, "PDF", page.Reference, QImage(QString::fromStdString(picture + ".png")));
    }
}

TEST_F(Fidelity, SvgPagesRasterisedAgreeWithTheReferencePlayer)
{
    for (const auto& page : Pages) {
        QSvgRenderer renderer(QString::fromStdString(Exported<TQRSvgExportFilter>(Dir, page, ".svg")));
        ASSERT_TRUE(renderer.isValid()) << page.Name;
        QImage picture(page.Reference.size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            renderer.render(&painter);
        }
        ExpectAgreement(page.Name, "SVG", page.Reference, picture);
    }
}

}  // namespace
}  // namespace qrp
