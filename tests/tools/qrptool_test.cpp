// qrptool as users run it: the real binary, its output and exit codes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cctype>

#include "platform/byte_order.h"
#include "report/qr_page_list.h"
#include "tests/support/commands.h"
#include "tests/support/test_files.h"
#include "tests/tools/tool_runner.h"

namespace qrp {
namespace {

using test::Bytes;

using test::ToolResult;

class QrpTool : public test::ToolRunner {};

TEST_F(QrpTool, InfoDescribesADocument)
{
    const std::string file = WriteDocument("three.qrp", 3, true);
    const ToolResult text = Run({"info", file});
    EXPECT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_NE(text.Out.find("Pages:       3"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("794 x 1123"), std::string::npos) << text.Out;

    const ToolResult json = Run({"info", "--json", file});
    EXPECT_EQ(json.ExitCode, 0);
    // {"pages": 3, "compressed": true, "created": "YYYY-MM-DDThh:mm:ss", "first_page": {...}}
    const std::string head = "{\"pages\": 3, \"compressed\": true, \"created\": \"";
    const std::string tail = "\", \"first_page\": {\"width\": 794, \"height\": 1123}, \"paper\": \"A4Small\", "
                             "\"orientation\": \"portrait\"}\n";
    ASSERT_EQ(json.Out.size(), head.size() + 19 + tail.size()) << json.Out;
    EXPECT_EQ(json.Out.substr(0, head.size()), head);
    EXPECT_EQ(json.Out.substr(head.size() + 19), tail);
    const std::string created = json.Out.substr(head.size(), 19);
    for (std::size_t i = 0; i < created.size(); ++i) {
        const char expected = std::string("0000-00-00T00:00:00")[i];
        EXPECT_TRUE(expected == '0' ? std::isdigit(static_cast<unsigned char>(created[i])) != 0 : created[i] == expected)
            << created;
    }

    // No pages, and a date that is no date.
    Bytes empty = test::MakeDocument(0, false);
    StoreDouble(empty.data() + 16, 1e300);
    test::WriteWholeFile(Dir.File("empty.qrp"), empty);
    const ToolResult none = Run({"info", Dir.File("empty.qrp"), "--json"});
    EXPECT_EQ(none.Out, "{\"pages\": 0, \"compressed\": false, \"created\": null, \"first_page\": null, "
                        "\"paper\": null, \"orientation\": \"portrait\"}\n");

    // An A3 page on its side, one 4 mm unit short of the table's row as pages recorded in pixels are.
    test::WriteWholeFile(Dir.File("a3.qrp"), test::MakeDocument({test::MakePage(1, 1587, 1123)}, false));
    const ToolResult a3 = Run({"info", "--json", Dir.File("a3.qrp")});
    EXPECT_NE(a3.Out.find("\"paper\": \"A3\", \"orientation\": \"landscape\""), std::string::npos) << a3.Out;
}

TEST_F(QrpTool, BadFilesGiveOneLineAndExitCode1)
{
    test::WriteWholeFile(Dir.File("short.qrp"), Bytes(50, 0));
    Bytes broken = test::MakeDocument(2, false);
    StoreInt32(broken.data() + 128, 9);
    test::WriteWholeFile(Dir.File("broken.qrp"), broken);

    for (const std::string& name : {Dir.File("missing.qrp"), Dir.File("short.qrp"), Dir.File("broken.qrp")}) {
        for (const std::string command : {"info", "check"}) {
            const ToolResult result = Run({command, name});
            EXPECT_EQ(result.ExitCode, 1) << command << " " << name;
            EXPECT_EQ(Lines(result.Err), 1) << result.Err;
            EXPECT_NE(result.Err.find(name), std::string::npos) << result.Err;
        }
    }
    EXPECT_NE(Run({"info", Dir.File("missing.qrp")}).Err.find("Cannot open file"), std::string::npos);
}

TEST_F(QrpTool, CheckPassesSoundFilesAndListsEveryProblem)
{
    const ToolResult sound = Run({"check", WriteDocument("ok.qrp", 4, false)});
    EXPECT_EQ(sound.ExitCode, 0) << sound.Err;
    EXPECT_EQ(sound.Err, "");

    // Two bad pages in a sound chain: one line each.
    Bytes file = test::MakeDocument(3, false);
    StoreUInt32(file.data() + 136, 2);
    const std::int32_t third = LoadInt32(file.data() + file.size() - 4);
    StoreUInt32(file.data() + third + 8 + 40, 0);
    test::WriteWholeFile(Dir.File("two.qrp"), file);
    const ToolResult damaged = Run({"check", Dir.File("two.qrp")});
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_EQ(Lines(damaged.Err), 2) << damaged.Err;
    EXPECT_NE(damaged.Err.find("page 1: Metafile is not valid"), std::string::npos) << damaged.Err;
    EXPECT_NE(damaged.Err.find("page 3: Metafile is not valid"), std::string::npos) << damaged.Err;
}

TEST_F(QrpTool, PackUnpackAndConvertKeepPagesByteForByte)
{
    std::vector<std::string> pageFiles;
    for (int i = 1; i <= 3; ++i) {
        pageFiles.push_back(Dir.File("in-" + std::to_string(i) + ".emf"));
        test::MakePage(i, 1123, 794, 50).SaveToFile(pageFiles.back());
    }
    std::vector<std::string> pack = {"pack", "--compress", Dir.File("packed.qrp")};
    pack.insert(pack.end(), pageFiles.begin(), pageFiles.end());
    ASSERT_EQ(Run(pack).ExitCode, 0);
    EXPECT_EQ(Run({"info", "--json", Dir.File("packed.qrp")}).Out.find("\"compressed\": true"), 13u);

    ASSERT_EQ(Run({"convert", "--plain", Dir.File("packed.qrp"), Dir.File("plain.qrp")}).ExitCode, 0);
    ASSERT_EQ(Run({"convert", "--compress", Dir.File("plain.qrp"), Dir.File("plain.qrp")}).ExitCode, 0)
        << "converting a file onto itself";
    ASSERT_EQ(Run({"unpack", Dir.File("plain.qrp"), Dir.File("out/pages")}).ExitCode, 0);
    for (int i = 1; i <= 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "out/pages/page-%04d.emf", i);
        EXPECT_EQ(test::ReadWholeFile(Dir.File(name)), test::ReadWholeFile(pageFiles[static_cast<std::size_t>(i - 1)]));
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.File("out/pages/page-0004.emf")));
    EXPECT_EQ(Run({"check", Dir.File("plain.qrp")}).ExitCode, 0);

    // A page that is no recording: nothing is written.
    test::WriteWholeFile(Dir.File("bad.emf"), Bytes(300, 1));
    const ToolResult bad = Run({"pack", Dir.File("new.qrp"), pageFiles[0], Dir.File("bad.emf")});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_NE(bad.Err.find("bad.emf: Metafile is not valid"), std::string::npos) << bad.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir.File("new.qrp")));
}

TEST_F(QrpTool, UsageErrorsExitWith2)
{
    const std::string file = WriteDocument("a.qrp", 1, false);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {},
             {"frobnicate"},
             {"info"},
             {"info", file, file},
             {"info", "--verbose", file},
             {"check", "--json", file},
             {"unpack", file},
             {"convert", file, Dir.File("b.qrp")},
             {"convert", "--plain", "--compress", file, Dir.File("b.qrp")},
             {"pack"},
             {"print"},
             {"print", file, "--copies", "0"},
             {"print", file, "--copies", "two"},
             {"print", file, "--pages", "4-2"},
             {"print", file, "--pages", "x"},
             {"print", file, "--landscape", "--portrait"},
             {"print", file, "--printer", "No such printer"},
             {"print", file, "--printer", "x", "--output", Dir.File("x.pdf")},
         }) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << (arguments.empty() ? "" : arguments[0]) << " " << arguments.size();
        EXPECT_NE(result.Err.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}).ExitCode, 0);
}

TEST_F(QrpTool, SampleReportsAreProducedThroughTheReportPrinter)
{
    ASSERT_EQ(Run({"sample", "--compress", Dir.File("sample.qrp")}).ExitCode, 0);
    EXPECT_EQ(Run({"check", Dir.File("sample.qrp")}).ExitCode, 0);
    TQRPageList list;
    list.AttachFile(Dir.File("sample.qrp"));
    EXPECT_TRUE(list.Compression());
    EXPECT_EQ(list.PageTotal(), 3);
    EXPECT_EQ(list.GetPage(1)->Width(), 794);
    ASSERT_EQ(Run({"sample", Dir.File("plain.qrp")}).ExitCode, 0);
    EXPECT_EQ(Run({"info", "--json", Dir.File("plain.qrp")}).Out.find("\"compressed\": false"), 13u);
    EXPECT_EQ(Run({"sample"}).ExitCode, 2);
}

TEST_F(QrpTool, PrintsToAPdfFileOnAMachineWithoutPrinters)
{
    const std::string file = WriteDocument("five.qrp", 5, true);
    const std::string noService = "CUPS_SERVER=/nonexistent/qrp-cups.sock ";
    const auto print = [&](const std::string& arguments) {
        return RunCommand(noService + test::Quote(QRPTOOL_PATH) + " print " + test::Quote(file) + " " + arguments);
    };
    const ToolResult printed = print("--pages 2-4 --landscape --output " + test::Quote(Dir.File("out.pdf")));
    ASSERT_EQ(printed.ExitCode, 0) << printed.Err;
    EXPECT_NE(printed.Out.find("pages 2-4"), std::string::npos) << printed.Out;
    EXPECT_EQ(test::PdfPageCount(Dir.File("out.pdf")), 3);
    EXPECT_EQ(test::PdfPageSize(Dir.File("out.pdf")), "842 x 595");

    // Pages the document does not have, and a file that is not there: exit 1, nothing written.
    const ToolResult beyond = print("--pages 6-9 --output " + test::Quote(Dir.File("none.pdf")));
    EXPECT_EQ(beyond.ExitCode, 1);
    EXPECT_NE(beyond.Err.find("has 5 pages"), std::string::npos) << beyond.Err;
    const ToolResult missing =
        RunCommand(noService + test::Quote(QRPTOOL_PATH) + " print " + test::Quote(Dir.File("missing.qrp")) +
                   " --output " + test::Quote(Dir.File("none.pdf")));
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(Lines(missing.Err), 1) << missing.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir.File("none.pdf")));
    // Without a queue and without a file there is nowhere to print.
    const ToolResult nowhere = print("");
    EXPECT_EQ(nowhere.ExitCode, 1);
    EXPECT_NE(nowhere.Err.find("No output file"), std::string::npos) << nowhere.Err;
}

TEST_F(QrpTool, TheBundledSampleIsSound)
{
    const std::string sample = QRP_SOURCE_DIR "/examples/sample.qrp";
    const ToolResult check = Run({"check", sample});
    EXPECT_EQ(check.ExitCode, 0) << check.Err;
    TQRPageList list;
    list.AttachFile(sample);
    EXPECT_GE(list.PageTotal(), 2);
    EXPECT_TRUE(list.Compression());
}

}  // namespace
}  // namespace qrp
