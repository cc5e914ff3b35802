// qrptool render: pictures and documents made from report files and single recordings.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

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

}  // namespace
}  // namespace qrp
