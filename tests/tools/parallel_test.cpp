// qrptool render and text with pages on several workers, and render of many
// files in one call: the output is the same for any -j, and a bad file among
// many fails alone.

#include <algorithm>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <QImage>
#include <QImageReader>

#include "platform/emf/emf_records.h"
#include "platform/emf/emf_writer.h"
#include "report/qr_page_list.h"
#include "tests/support/test_files.h"
#include "tests/tools/tool_runner.h"

namespace qrp {
namespace {

using test::Bytes;
using test::ToolResult;

const std::string kSample = QRP_SOURCE_DIR "/examples/sample.qrp";

// A page whose path is stroked before it is ended: the player warns and draws on.
TMetafile WarningPage(int seed)
{
    emf::TEmfWriter writer(300, 200);
    writer.AddRecord(emf::EMR_BEGINPATH, std::initializer_list<std::int32_t> {});
    writer.MoveTo(10 + seed, 10);
    writer.LineTo(150, 80 + seed);
    writer.AddRecord(emf::EMR_STROKEPATH, {0, 0, 299, 199});
    writer.TextOut(20, 150, u"warned " + std::u16string(1, static_cast<char16_t>(u'0' + seed % 10)));
    return TMetafile(writer.Finish());
}

std::vector<TMetafile> SamplePages()
{
    TQRPageList list;
    list.AttachFile(kSample);
    std::vector<TMetafile> pages;
    for (std::int32_t n = 1; n <= list.PageTotal(); ++n)
        pages.push_back(*list.GetPage(n));
    return pages;
}

// Every file below folder, by its path inside it, with its bytes.
std::map<std::string, Bytes> FolderContents(const std::string& folder)
{
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), folder).string()] = test::ReadWholeFile(entry.path().string());
    return files;
}

std::vector<std::string> Names(const std::map<std::string, Bytes>& files)
{
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files)
        names.push_back(name);
    return names;
}

class Parallel : public test::ToolRunner {
protected:
    // Sample pages with pages that warn between them, as a report file.
    std::string MixedDocument()
    {
        std::vector<TMetafile> pages;
        int seed = 0;
        for (const TMetafile& page : SamplePages()) {
            pages.push_back(page);
            pages.push_back(WarningPage(++seed));
        }
        test::WriteWholeFile(Dir.File("mixed.qrp"), test::MakeDocument(pages, true));
        return Dir.File("mixed.qrp");
    }

    // Runs the command with -j 1 and checks that 2 and 7 workers give the same
    // exit code, output and messages; the result of -j 1.
    ToolResult RunWithAnyWorkers(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"-j", "1"});
        const ToolResult one = Run(arguments);
        for (const char* workers : {"2", "7"}) {
            arguments.back() = workers;
            const ToolResult many = Run(arguments);
            EXPECT_EQ(many.ExitCode, one.ExitCode) << arguments.front() << ", " << workers << " workers";
            EXPECT_EQ(many.Out, one.Out) << arguments.front() << ", " << workers << " workers";
            EXPECT_EQ(many.Err, one.Err) << arguments.front() << ", " << workers << " workers";
        }
        return one;
    }

    // A plain report file of five pages cut short inside its fourth page.
    std::string CutDocument()
    {
        std::vector<TMetafile> pages;
        for (int seed = 1; seed <= 5; ++seed)
            pages.push_back(seed == 2 ? WarningPage(seed) : test::MakePage(seed, 600, 400, 40));
        Bytes bytes = test::MakeDocument(pages, false);
        std::vector<std::size_t> signatures;
        for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
            if (std::memcmp(bytes.data() + i, " EMF", 4) == 0)
                signatures.push_back(i);
        EXPECT_EQ(signatures.size(), 5u);
        bytes.resize(signatures.at(3) + 100);
        test::WriteWholeFile(Dir.File("cut.qrp"), bytes);
        return Dir.File("cut.qrp");
    }

    // A report file of two pages whose first is not a page recording.
    std::string BadFirstPageDocument()
    {
        Bytes bytes = test::MakeDocument({test::MakePage(1, 600, 400, 40), test::MakePage(2, 600, 400, 40)}, false);
        const auto signature = std::search(bytes.begin(), bytes.end(), std::begin(" EMF"), std::end(" EMF") - 1);
        EXPECT_NE(signature, bytes.end());
        *signature = 'X';
        test::WriteWholeFile(Dir.File("bad-first.qrp"), bytes);
        return Dir.File("bad-first.qrp");
    }
};

TEST_F(Parallel, RenderWritesTheSameFilesAndMessagesForAnyNumberOfWorkers)
{
    const std::string mixed = MixedDocument();
    const std::string cut = CutDocument();
    struct Case {
        std::vector<std::string> Arguments;
        int ExitCode;
    };
    for (const Case& c : std::vector<Case> {
             {{mixed, "--dpi", "150"}, 0},
             {{mixed, "--pages", "6,1,3-4", "--format", "svg"}, 0},
             {{cut}, 1},  // pages 1-3 are written, 4 is damaged, 5 is not reached
         }) {
        std::map<std::string, Bytes> first;
        std::string firstErr;
        for (const char* workers : {"1", "2", "5"}) {
            const std::string out = Dir.File(std::string("out-") + workers + "-" + std::to_string(c.ExitCode) +
                                             c.Arguments.back());
            std::vector<std::string> arguments = {"render"};
            arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
            arguments.insert(arguments.end(), {"-j", workers, "-o", out});
            const ToolResult result = Run(arguments);
            ASSERT_EQ(result.ExitCode, c.ExitCode) << workers << " workers: " << result.Err;
            const std::map<std::string, Bytes> files = FolderContents(out);
            if (first.empty()) {
                first = files;
                firstErr = result.Err;
                ASSERT_FALSE(first.empty());
                continue;
            }
            EXPECT_EQ(Names(files), Names(first)) << workers << " workers";
            EXPECT_TRUE(files == first) << workers << " workers: the pictures differ";
            EXPECT_EQ(result.Err, firstErr) << workers << " workers";
        }
        if (c.Arguments.front() == cut) {
            EXPECT_EQ(Names(first), (std::vector<std::string> {"page-0001.png", "page-0002.png", "page-0003.png"}));
            EXPECT_NE(firstErr.find("warning: " + cut + ": page 2, record "), std::string::npos) << firstErr;
            EXPECT_NE(firstErr.find(cut + ": page 4: "), std::string::npos) << firstErr;
        } else {
            EXPECT_NE(firstErr.find("page 4, record"), std::string::npos) << "the warnings are told: " << firstErr;
        }
    }
}

TEST_F(Parallel, AFailedPageEndsTheRenderAtItsPlaceForAnyNumberOfWorkers)
{
    // Page 3's file cannot be put in place (a folder has its name): pages 1 and 2
    // are written, the later ones drawn meanwhile are dropped.
    const std::string mixed = MixedDocument();
    for (const char* workers : {"1", "4"}) {
        const std::string out = Dir.File(std::string("blocked-") + workers);
        std::filesystem::create_directories(out + "/page-0003.png/inside");
        const ToolResult result = Run({"render", mixed, "-j", workers, "-o", out});
        EXPECT_EQ(result.ExitCode, 1) << result.Err;
        EXPECT_EQ(Names(FolderContents(out)), (std::vector<std::string> {"page-0001.png", "page-0002.png"}))
            << workers << " workers";
        EXPECT_EQ(test::LinesNotBeginningWith(result.Err, "qrptool render: warning: " + mixed + ": page 2, "),
                  "qrptool render: " + out + "/page-0003.png: Cannot create file " + out + "/page-0003.png: " +
                      std::strerror(EISDIR) + "\n");
        for (const auto& entry : std::filesystem::directory_iterator(out))
            EXPECT_EQ(entry.path().filename().string().rfind(".qrp-write-", 0), std::string::npos)
                << "a temporary file is left: " << entry.path();
    }
}

TEST_F(Parallel, TextPrintsTheSameForAnyNumberOfWorkers)
{
    const std::string mixed = MixedDocument();
    const std::string cut = CutDocument();
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>> {{}, {"--json"}, {"--layout", "--pages", "2-4"}}) {
        std::vector<std::string> arguments = {"text", mixed, cut, kSample, Dir.File("missing.qrp"), mixed};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult one = RunWithAnyWorkers(arguments);
        EXPECT_EQ(one.ExitCode, 1) << one.Err;
        EXPECT_NE(one.Out.find("Stránka"), std::string::npos);
        EXPECT_NE(one.Err.find(Dir.File("missing.qrp")), std::string::npos) << one.Err;
    }
}

TEST_F(Parallel, GrepPrintsTheSameForAnyNumberOfWorkers)
{
    const std::string mixed = MixedDocument();
    const std::string cut = CutDocument();
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>> {{"Stránka"}, {"-c", "-i", "STRÁNKA"}, {"-l", "-E", "Str.nka [0-9]"}}) {
        std::vector<std::string> arguments = {"grep"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), {mixed, cut, kSample, Dir.File("missing.qrp")});
        const ToolResult one = RunWithAnyWorkers(arguments);
        EXPECT_EQ(one.ExitCode, 2) << one.Err;
        EXPECT_NE(one.Out.find(kSample), std::string::npos) << one.Out;
    }
    // Names only: a file is named at its first match and not read further, so
    // damage after it is not met, whatever was read ahead.
    for (const char* workers : {"1", "4"}) {
        const ToolResult names = Run({"grep", "-l", "Stránka 1", cut, "-j", workers});
        EXPECT_EQ(names.ExitCode, 0) << names.Err;
        EXPECT_EQ(names.Out, cut + "\n");
        EXPECT_EQ(names.Err, "");
    }
    const ToolResult lines = Run({"grep", "Stránka", cut, "-j", "3"});
    EXPECT_EQ(lines.ExitCode, 2);
    EXPECT_EQ(lines.Out, cut + ":1: Stránka 1\n" + cut + ":3: Stránka 3\n") << "page 2 warns and has its own text";
    EXPECT_EQ(lines.Err.rfind("qrptool grep: " + cut + ": page 4: ", 0), 0u) << lines.Err;
}

TEST_F(Parallel, ManyFilesGoToAFolderEachAndABadOneFailsAlone)
{
    test::MakePage(3, 300, 200, 20).SaveToFile(Dir.File("single.emf"));
    test::WriteWholeFile(Dir.File("broken.qrp"), Bytes(700, 9));
    const std::string cut = CutDocument();
    const std::string badFirst = BadFirstPageDocument();
    const std::string two = WriteDocument("two.qrp", 2, true);
    for (const char* workers : {"1", "3"}) {
        const std::string out = Dir.File(std::string("many-") + workers);
        const ToolResult result = Run({"render", two, Dir.File("broken.qrp"), Dir.File("single.emf"), cut, badFirst,
                                       kSample, "-j", workers, "-o", out});
        EXPECT_EQ(result.ExitCode, 1) << result.Err;
        EXPECT_EQ(Names(FolderContents(out)),
                  (std::vector<std::string> {"cut/page-0001.png", "cut/page-0002.png", "cut/page-0003.png",
                                             "sample/page-0001.png", "sample/page-0002.png", "sample/page-0003.png",
                                             "single/page-0001.png", "two/page-0001.png", "two/page-0002.png"}))
            << result.Err;
        // The failures name their files, in the order of the files; warnings go as ever.
        const std::string err = test::LinesNotBeginningWith(result.Err, "qrptool render: warning: ");
        EXPECT_EQ(err.rfind("qrptool render: " + Dir.File("broken.qrp") + ": ", 0), 0u) << err;
        EXPECT_NE(err.find("\nqrptool render: " + cut + ": page 4: "), std::string::npos) << err;
        EXPECT_NE(err.find("\nqrptool render: " + badFirst + ": "), std::string::npos) << err;
        EXPECT_EQ(test::ToolRunner::Lines(err), 3) << err;
        EXPECT_FALSE(std::filesystem::exists(out + "/bad-first")) << "a file without pictures leaves no folder";
        EXPECT_EQ(QImage(QString::fromStdString(out + "/sample/page-0002.png")).size(), QSize(794, 1123));
    }
    // PDF: a document each.
    const ToolResult pdf = Run({"render", two, Dir.File("single.emf"), "--format", "pdf", "-o", Dir.File("pdf")});
    EXPECT_EQ(pdf.ExitCode, 0) << pdf.Err;
    EXPECT_EQ(Names(FolderContents(Dir.File("pdf"))), (std::vector<std::string> {"single.pdf", "two.pdf"}));
    // Pages one file lacks fail that file only.
    const ToolResult pages = Run({"render", two, kSample, "--pages", "3", "-o", Dir.File("third")});
    EXPECT_EQ(pages.ExitCode, 1);
    EXPECT_EQ(pages.Err, "qrptool render: " + two + ": pages 3 lie outside 1-2\n");
    EXPECT_EQ(Names(FolderContents(Dir.File("third"))), (std::vector<std::string> {"sample/page-0003.png"}));
}

TEST_F(Parallel, UsageErrorsOfWorkersAndManyFiles)
{
    const std::string two = WriteDocument("two.qrp", 2, true);
    std::filesystem::create_directories(Dir.File("other"));
    std::filesystem::copy_file(two, Dir.File("other/two.qrp"));
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"render", two, "-j", "0", "-o", Dir.File("x")},
             {"text", two, "-j", "1.5"},
             {"render", two, Dir.File("other/two.qrp"), "-o", Dir.File("x")},  // both would go to x/two
             {"render", two, kSample, "-o", Dir.File("x.png")},               // one file named for two
         }) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments[arguments.size() - 3] << ": " << result.Err;
        EXPECT_NE(result.Err.find("usage: qrptool " + arguments[0]), std::string::npos) << result.Err;
        EXPECT_FALSE(std::filesystem::exists(Dir.File("x"))) << "nothing is written";
        EXPECT_FALSE(std::filesystem::exists(Dir.File("x.png")));
    }
}

TEST_F(Parallel, PagesTooTallForAWholeImageAreRenderedInStrips)
{
    // 40 000 rows: more than a page image may have, far less than PNG allows.
    emf::TEmfWriter writer(20, 40000);
    writer.SelectObject(writer.CreateSolidBrush(0x0000FF));
    writer.Rectangle({0, 39000, 20, 39100});
    TMetafile(writer.Finish()).SaveToFile(Dir.File("tall.emf"));
    const ToolResult tall = Run({"render", Dir.File("tall.emf"), "-o", Dir.File("tall.png")});
    ASSERT_EQ(tall.ExitCode, 0) << tall.Err;
    QImageReader reader(QString::fromStdString(Dir.File("tall.png")));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), QSize(20, 40000));
    EXPECT_EQ(image.pixel(10, 39050), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(10, 38990), 0xFFFFFFFFu);

    // Still refused: wider than the raster engine reaches (5 million pixels at 4800 dpi).
    TMetafile(emf::TEmfWriter(100000, 10).Finish()).SaveToFile(Dir.File("wide.emf"));
    EXPECT_EQ(Run({"render", Dir.File("wide.emf"), "-o", Dir.File("wide.png")}).ExitCode, 0);
    const ToolResult huge = Run({"render", Dir.File("wide.emf"), "--dpi", "4800", "-o", Dir.File("huge.png")});
    EXPECT_EQ(huge.ExitCode, 1);
    EXPECT_EQ(huge.Err, "qrptool render: page 1 is too large to render at this resolution\n");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("huge.png")));
}

}  // namespace
}  // namespace qrp
