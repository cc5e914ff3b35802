// The export filters: what they offer a file dialog, and the files they write
// for a loaded report — PDF page count, page sizes, title and text; PNG and
// SVG pictures named by page; nothing half-written when an export fails.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <regex>

#include <QImage>
#include <QSvgRenderer>

#include "export/export_filters.h"
#include "export/pdf_export_filter.h"
#include "export/png_export_filter.h"
#include "platform/emf/metafile.h"
#include "platform/exceptions.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "report/qr_printer.h"
#include "tests/support/commands.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

const std::string kSample = QRP_SOURCE_DIR "/examples/sample.qrp";

bool HasPoppler() { return std::system("command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") == 0; }

// The page sizes pdfinfo reports, in points, page by page.
std::vector<std::pair<double, double>> PdfPageSizes(const std::string& file, int pages)
{
    const std::string info =
        test::RunCommand("pdfinfo -f 1 -l " + std::to_string(pages) + " '" + file + "' 2>&1").Output;
    std::vector<std::pair<double, double>> sizes;
    const std::regex line(R"(Page +\d+ size: +([0-9.]+) x ([0-9.]+) pts)");
    for (auto match = std::sregex_iterator(info.begin(), info.end(), line); match != std::sregex_iterator(); ++match)
        sizes.emplace_back(std::stod((*match)[1]), std::stod((*match)[2]));
    return sizes;
}

std::string PdfTitle(const std::string& file)
{
    const std::string info = test::RunCommand("pdfinfo '" + file + "' 2>&1").Output;
    std::smatch match;
    return std::regex_search(info, match, std::regex(R"(Title: +([^\n]*))")) ? match[1].str() : std::string();
}

// A picture's frame in points: the frame is held in 0.01 mm.
std::pair<double, double> FramePoints(const TMetafile& page)
{
    const auto& frame = page.Header().Frame;
    return {(frame.Right - frame.Left) / 2540.0 * 72, (frame.Bottom - frame.Top) / 2540.0 * 72};
}

class ExportFilters : public ::testing::Test {
protected:
    // No printer: loading recognises no paper, which an export does not need.
    void SetUp() override { SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {})); }
    void TearDown() override { SetPrinterBackend(nullptr); }

    void Export(TQRPrinter& printer, const std::string& extension, const std::string& fileName)
    {
        const TQRExportFilterEntry* entry = FindExportFilter(extension);
        ASSERT_NE(entry, nullptr) << extension;
        const auto filter = entry->Create(fileName);
        printer.ExportToFilter(*filter);
    }

    // A report file of these pages, loaded.
    void Load(TQRPrinter& printer, const std::vector<TMetafile>& pages)
    {
        test::WriteWholeFile(Dir.File("in.qrp"), test::MakeDocument(pages, true));
        printer.Load(Dir.File("in.qrp"));
    }

    test::ScratchDir Dir;
};

TEST_F(ExportFilters, TheRegistryOffersPdfPngAndSvgForFileDialogs)
{
    std::vector<std::string> listed;
    for (const TQRExportFilterEntry& entry : qrp::ExportFilters())
        listed.push_back(entry.DialogFilter());
    EXPECT_EQ(listed, (std::vector<std::string> {"PDF document (*.pdf)", "PNG pictures (*.png)", "SVG pictures (*.svg)"}));
    EXPECT_EQ(FindExportFilter(".PNG"), &qrp::ExportFilters()[1]);
    EXPECT_EQ(FindExportFilter("svg"), &qrp::ExportFilters()[2]);
    EXPECT_EQ(FindExportFilter("gif"), nullptr);
    EXPECT_EQ(FindExportFilter(""), nullptr);
}

TEST_F(ExportFilters, PdfOfALoadedReportHasItsPagesTitleAndSearchableCzechText)
{
    if (!HasPoppler())
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    TQRPrinter printer;
    printer.Load(kSample);
    // Loading clears the export handler: the export must still be written.
    ASSERT_FALSE(printer.ExportHandler);
    printer.JobTitle = "Přehled faktur 2024";
    Export(printer, "pdf", Dir.File("sample.pdf"));

    EXPECT_EQ(test::PdfPageCount(Dir.File("sample.pdf")), printer.PageTotal);
    EXPECT_EQ(PdfTitle(Dir.File("sample.pdf")), "Přehled faktur 2024");
    const std::string first = test::PdfText(Dir.File("sample.pdf"), 1, 1);
    for (const char* word : {"Přehled vydaných faktur", "Vinohradská", "Částka", "Odběratel"})
        EXPECT_NE(first.find(word), std::string::npos) << word << " in:\n" << first.substr(0, 600);
    const std::string last = test::PdfText(Dir.File("sample.pdf"), printer.PageTotal, printer.PageTotal);
    EXPECT_NE(last.find("Celkem za 1. čtvrtletí 2024"), std::string::npos) << last.substr(0, 600);
}

TEST_F(ExportFilters, EveryPdfPageHasTheSizeOfItsOwnRecording)
{
    if (!HasPoppler())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const std::vector<TMetafile> pages = {test::MakePage(1, 794, 1123), test::MakePage(2, 1123, 794),
                                          test::MakePage(3, 400, 300)};
    TQRPrinter printer;
    Load(printer, pages);
    Export(printer, "PDF", Dir.File("sizes.pdf"));
    const auto sizes = PdfPageSizes(Dir.File("sizes.pdf"), 3);
    ASSERT_EQ(sizes.size(), 3u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const auto [width, height] = FramePoints(pages[i]);
        EXPECT_NEAR(sizes[i].first, width, 1.0) << "page " << i + 1;
        EXPECT_NEAR(sizes[i].second, height, 1.0) << "page " << i + 1;
    }
    EXPECT_GT(sizes[1].first, sizes[1].second) << "the landscape page stays landscape";
}

TEST_F(ExportFilters, PicturesAreNumberedByPageUnlessThereIsOnlyOne)
{
    TQRPrinter printer;
    Load(printer, {test::MakePage(1, 300, 200), test::MakePage(2, 200, 300), test::MakePage(3, 300, 200)});
    Export(printer, "png", Dir.File("report.png"));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("report.png")));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("report-0001.png"))).size(), QSize(300, 200));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("report-0002.png"))).size(), QSize(200, 300));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("report-0003.png"))).size(), QSize(300, 200));

    Export(printer, "svg", Dir.File("vector.svg"));
    for (const char* name : {"vector-0001.svg", "vector-0002.svg", "vector-0003.svg"}) {
        QSvgRenderer svg(QString::fromStdString(Dir.File(name)));
        EXPECT_TRUE(svg.isValid()) << name;
    }
    EXPECT_EQ(QSvgRenderer(QString::fromStdString(Dir.File("vector-0002.svg"))).viewBox(), QRect(0, 0, 200, 300));

    TQRPrinter single;
    Load(single, {test::MakePage(4, 300, 200)});
    Export(single, "png", Dir.File("one.png"));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("one.png"))).size(), QSize(300, 200));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("one-0001.png")));
}

TEST_F(ExportFilters, PictureResolutionScalesTheFrame)
{
    TQRPngExportFilter filter(Dir.File("half.png"));
    filter.Resolution = 48;
    filter.Start("", 1);
    filter.WritePage(test::MakePage(1, 794, 1123), 1);
    filter.Finish();
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("half.png"))).size(), QSize(397, 562));
}

TEST_F(ExportFilters, AFailedExportLeavesNoPartlyWrittenFile)
{
    // A PDF abandoned after its first page: the file it replaces stays as it was, and no temporary file stays.
    test::WriteWholeFile(Dir.File("kept.pdf"), {'o', 'l', 'd'});
    {
        TQRPdfExportFilter filter(Dir.File("kept.pdf"));
        filter.Start("", 2);
        filter.WritePage(test::MakePage(1), 1);
    }
    EXPECT_EQ(test::ReadWholeFile(Dir.File("kept.pdf")), (test::Bytes {'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Root()), {}), 1) << "only kept.pdf";

    // A folder that does not exist: the file cannot be made.
    TQRPrinter printer;
    Load(printer, {test::MakePage(1)});
    for (const char* extension : {"pdf", "png", "svg"}) {
        const std::string target = Dir.File(std::string("missing/out.") + extension);
        try {
            Export(printer, extension, target);
            ADD_FAILURE() << extension << ": no error";
        } catch (const EFCreateError& error) {
            EXPECT_NE(std::string(error.what()).find(target), std::string::npos) << error.what();
        }
    }

    // A picture too large for an image at the resolution asked for.
    TQRPngExportFilter huge(Dir.File("huge.png"));
    huge.Resolution = 4800;
    huge.Start("", 1);
    EXPECT_THROW(huge.WritePage(test::MakePage(1, 30000, 30000), 1), EQRExportError);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("huge.png")));
}

TEST_F(ExportFilters, AReportWithoutPagesIsAnErrorNotAnEmptyFile)
{
    TQRPrinter printer;
    Load(printer, {});
    ASSERT_EQ(printer.DocState, rpsFinished);
    for (const char* extension : {"pdf", "png"}) {
        EXPECT_THROW(Export(printer, extension, Dir.File(std::string("none.") + extension)), EQRExportError);
        EXPECT_FALSE(std::filesystem::exists(Dir.File(std::string("none.") + extension)));
    }
}

}  // namespace
}  // namespace qrp
