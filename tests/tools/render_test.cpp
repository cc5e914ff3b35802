// qrptool render: pictures and documents made from report files and single recordings.

#include <gtest/gtest.h>

#include <algorithm>

#include <QGuiApplication>
#include <QImage>

#include "platform/emf/emf_records.h"
#include "platform/emf/emf_writer.h"
#include "report/qr_page_list.h"
#include "tests/support/test_files.h"
#include "tests/tools/tool_runner.h"

namespace qrp {
namespace {

using test::Bytes;
using test::Quote;
using test::ToolResult;

const std::string kSample = QRP_SOURCE_DIR "/examples/sample.qrp";

bool HasProgram(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

class Render : public test::ToolRunner {};

TEST_F(Render, PngPagesAtTheFrameSize)
{
    const ToolResult all = Run({"render", kSample, "-o", Dir.File("png")});
    ASSERT_EQ(all.ExitCode, 0) << all.Err;
    const QImage first(QString::fromStdString(Dir.File("png/page-0001.png")));
    EXPECT_EQ(first.size(), QSize(794, 1123));
    EXPECT_TRUE(std::filesystem::exists(Dir.File("png/page-0002.png")));
    // Ink on the page: the report is not blank.
    int dark = 0;
    for (int y = 0; y < first.height(); y += 3)
        for (int x = 0; x < first.width(); x += 3)
            dark += qGray(first.pixel(x, y)) < 128;
    EXPECT_GT(dark, 200);

    ASSERT_EQ(Run({"render", kSample, "--pages", "2", "--dpi", "48", "-o", Dir.File("half")}).ExitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("half/page-0001.png")));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("half/page-0002.png"))).size(), QSize(397, 562));
}

TEST_F(Render, SingleRecordingsGoStraightToTheirFile)
{
    test::MakePage(3, 300, 200, 20).SaveToFile(Dir.File("page.emf"));
    ASSERT_EQ(Run({"render", Dir.File("page.emf"), "-o", Dir.File("page.png")}).ExitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("page.png"))).size(), QSize(300, 200));
    ASSERT_EQ(Run({"render", Dir.File("page.emf"), "--format", "svg", "-o", Dir.File("page.svg")}).ExitCode, 0);
    const Bytes svg = test::ReadWholeFile(Dir.File("page.svg"));
    EXPECT_NE(std::string(svg.begin(), svg.end()).find("<svg"), std::string::npos);
}

TEST_F(Render, PdfHoldsEveryPageWithItsTextAndSize)
{
    const ToolResult pdf = Run({"render", kSample, "-o", Dir.File("sample.pdf")});
    ASSERT_EQ(pdf.ExitCode, 0) << pdf.Err;
    if (!HasProgram("pdfinfo") || !HasProgram("pdftotext"))
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    TQRPageList sample;
    sample.AttachFile(kSample);
    const ToolResult info = RunCommand("pdfinfo " + Quote(Dir.File("sample.pdf")));
    const auto pages = info.Out.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info.Out;
    EXPECT_EQ(std::atoi(info.Out.c_str() + pages + 6), sample.PageTotal()) << info.Out;
    EXPECT_NE(info.Out.find("595 x 842 pts (A4)"), std::string::npos) << info.Out;
    const ToolResult text = RunCommand("pdftotext " + Quote(Dir.File("sample.pdf")) + " -");
    EXPECT_NE(text.Out.find("Stránka 1"), std::string::npos) << text.Out.substr(0, 400);
}

TEST_F(Render, BadArgumentsAndDamagedInput)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"render", kSample},
             {"render", kSample, "-o", Dir.File("x"), "--dpi", "0"},
             {"render", kSample, "-o", Dir.File("x"), "--dpi", "abc"},
             {"render", kSample, "-o", Dir.File("x"), "--format", "gif"},
             {"render", kSample, "-o", Dir.File("x"), "--pages", "99"},
             {"render", kSample, "-o", Dir.File("x"), "--pages", "2-1"},
             {"render", kSample, "-o"},
         })
        EXPECT_EQ(Run(arguments).ExitCode, 2) << arguments.back();
    test::WriteWholeFile(Dir.File("bad.emf"), Bytes(500, 7));
    const ToolResult bad = Run({"render", Dir.File("bad.emf"), "-o", Dir.File("bad.png")});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("bad.png")));
}

TEST_F(Render, OnePageGoesStraightToTheFileOutNames)
{
    // --pages choosing one page of several, as PNG and as SVG.
    const ToolResult png = Run({"render", kSample, "--pages", "2", "-o", Dir.File("two.png")});
    ASSERT_EQ(png.ExitCode, 0) << png.Err;
    ASSERT_TRUE(std::filesystem::is_regular_file(Dir.File("two.png")));
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("two.png"))).size(), QSize(794, 1123));
    ASSERT_EQ(Run({"render", kSample, "--pages", "1", "--dpi", "48", "-o", Dir.File("one.svg")}).ExitCode, 0);
    ASSERT_TRUE(std::filesystem::is_regular_file(Dir.File("one.svg")));
    const Bytes svg = test::ReadWholeFile(Dir.File("one.svg"));
    EXPECT_NE(std::string(svg.begin(), svg.end()).find("<svg"), std::string::npos);
    // The same page twice is still one picture.
    EXPECT_EQ(Run({"render", kSample, "--pages", "3,3", "-o", Dir.File("three.png")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File("three.png")));

    // A document of one page, whatever the case of the extension.
    const std::string single = WriteDocument("single.qrp", 1, true);
    ASSERT_EQ(Run({"render", single, "-o", Dir.File("single.PNG")}).ExitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(Dir.File("single.PNG"))).size(), QSize(794, 1123));

    // A folder of that name stays a folder; another extension names a folder.
    std::filesystem::create_directories(Dir.File("folder.png"));
    ASSERT_EQ(Run({"render", single, "-o", Dir.File("folder.png")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File("folder.png/page-0001.png")));
    ASSERT_EQ(Run({"render", single, "--format", "svg", "-o", Dir.File("pictures.png")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File("pictures.png/page-0001.svg")));
}

TEST_F(Render, SeveralPagesCannotGoToOneFile)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"render", kSample, "-o", Dir.File("all.png")},
             {"render", kSample, "--pages", "1-2", "-o", Dir.File("all.svg")},
             {"render", kSample, "--pages", "3,1", "--format", "png", "-o", Dir.File("all.png")},
         }) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << result.Err;
        EXPECT_EQ(result.Err.rfind("qrptool render: -o " + arguments.back() + " names one ", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find(" pages are to be rendered: give -o a folder, or choose one page with --pages N\n"),
                  std::string::npos)
            << result.Err;
        EXPECT_NE(result.Err.find("usage: qrptool render "), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(arguments.back())) << "nothing is written";
    }
    // A document without pages has no picture to write.
    const ToolResult none = Run({"render", WriteDocument("none.qrp", 0, false), "-o", Dir.File("none.png")});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_NE(none.Err.find("the document has no pages"), std::string::npos) << none.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir.File("none.png")));
    // PDF stays one file of every page.
    EXPECT_EQ(Run({"render", kSample, "-o", Dir.File("all.pdf")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File("all.pdf")));
}

TEST_F(Render, WarningsAndErrorsNameTheProgramTheCommandAndTheFile)
{
    // A path stroked before it was ended: the player warns and goes on.
    emf::TEmfWriter writer(200, 100);
    writer.AddRecord(emf::EMR_BEGINPATH, std::initializer_list<std::int32_t> {});
    writer.MoveTo(10, 10);
    writer.LineTo(150, 80);
    writer.AddRecord(emf::EMR_STROKEPATH, {0, 0, 199, 99});
    TMetafile(writer.Finish()).SaveToFile(Dir.File("path.emf"));
    const ToolResult warned = Run({"render", Dir.File("path.emf"), "-o", Dir.File("path.png")});
    ASSERT_EQ(warned.ExitCode, 0) << warned.Err;
    EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File("path.png")));
    EXPECT_EQ(warned.Err.rfind("qrptool render: warning: " + Dir.File("path.emf") + ": page 1, record ", 0), 0u)
        << warned.Err;
    EXPECT_EQ(test::LinesNotBeginningWith(warned.Err, "qrptool render: warning: "), "") << warned.Err;

    // Many warnings, then the drawing budget spent: the warnings are cut short, the reason the page ends is not.
    emf::TEmfWriter noisy(794, 1123);
    for (int i = 0; i < 30; ++i)
        noisy.AddRecord(emf::EMR_STROKEPATH, {0, 0, 793, 1122});
    for (int i = 0; i < 2000; ++i)
        noisy.Rectangle({-10, -10, 804, 1133});
    TMetafile(noisy.Finish()).SaveToFile(Dir.File("noisy.emf"));
    const ToolResult noisyRun = Run({"render", Dir.File("noisy.emf"), "-o", Dir.File("noisy.png")});
    ASSERT_EQ(noisyRun.ExitCode, 0) << noisyRun.Err;
    EXPECT_EQ(std::count(noisyRun.Err.begin(), noisyRun.Err.end(), '\n'), 11) << noisyRun.Err;
    EXPECT_NE(noisyRun.Err.find("drawing budget"), std::string::npos) << noisyRun.Err;

    // Neither a report file nor a page recording.
    Bytes pdf = {'%', 'P', 'D', 'F', '-', '1', '.', '7', '\n'};
    pdf.resize(2000, ' ');
    test::WriteWholeFile(Dir.File("x.pdf"), pdf);
    const ToolResult other = Run({"render", Dir.File("x.pdf"), "-o", Dir.File("x.png")});
    EXPECT_EQ(other.ExitCode, 1);
    EXPECT_EQ(other.Err, "qrptool render: " + Dir.File("x.pdf") +
                             ": neither a report file nor a page recording (it is a PDF document)\n");
}

}  // namespace
}  // namespace qrp
