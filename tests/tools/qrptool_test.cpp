// qrptool as users run it: the real binary, its output and exit codes.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <cctype>
#include <cstdlib>
#include <sstream>

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

TEST_F(QrpTool, FailuresSayWhyInTheSystemsWords)
{
    const std::string document = WriteDocument("two.qrp", 2, false);
    const auto err = [&](const std::vector<std::string>& arguments) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 1) << result.Err;
        return result.Err;
    };
    // A missing file, and a folder where a file was wanted.
    EXPECT_EQ(err({"info", Dir.File("missing.qrp")}),
              "qrptool info: " + Dir.File("missing.qrp") + ": Cannot open file " + Dir.File("missing.qrp") + ": " +
                  std::strerror(ENOENT) + "\n");
    EXPECT_EQ(err({"text", Dir.Root().string()}),
              "qrptool text: " + Dir.Root().string() + ": Cannot open file " + Dir.Root().string() + ": " +
                  std::strerror(EISDIR) + "\n");
    // Places nobody may write into, root included (sysfs), and folders that cannot be made.
    const std::string created = err({"convert", "--compress", document, "/sys/qrptool-test.qrp"});
    EXPECT_EQ(created.rfind("qrptool convert: ", 0), 0u) << created;
    EXPECT_NE(created.find("Cannot create file /sys/qrptool-test.qrp: "), std::string::npos) << created;
    const std::string unpacked = err({"unpack", document, "/sys/qrptool-test"});
    EXPECT_EQ(unpacked.rfind("qrptool unpack: /sys/qrptool-test: cannot create the folder: ", 0), 0u) << unpacked;
    const std::string folder = err({"render", document, "-o", "/sys/qrptool-test"});
    EXPECT_EQ(folder.rfind("qrptool render: /sys/qrptool-test: cannot create the folder: ", 0), 0u) << folder;
    EXPECT_EQ(folder.find("filesystem error"), std::string::npos) << "no library's own text: " << folder;
    // A PDF to print into a folder that is not there: said before any printing.
    const std::string pdf = Dir.File("no/such/folder/p.pdf");
    EXPECT_EQ(err({"print", document, "--output", pdf}),
              "qrptool print: Cannot create file " + pdf + ": " + std::strerror(ENOENT) + "\n");
}

TEST_F(QrpTool, AnOutputThatCannotBeWrittenIsAnError)
{
    // Standard output on a full device: the command fails with the system's
    // reason, grep with its own code for trouble.
    const std::string document = WriteDocument("two.qrp", 2, false);
    const struct {
        std::vector<std::string> Arguments;
        std::string Command;
        int ExitCode;
    } cases[] = {{{"info", document}, "info", 1},
                 {{"info", "--json", document}, "info", 1},
                 {{"text", document}, "text", 1},
                 {{"grep", "-c", "x", document}, "grep", 2},
                 {{"info", "--help"}, "info", 1},
                 {{"--version"}, "", 1}};
    for (const auto& c : cases) {
        std::string command = test::Quote(QRPTOOL_PATH);
        for (const std::string& argument : c.Arguments)
            command += " " + test::Quote(argument);
        // A shell of its own, so that its redirection outlasts the runner's.
        const ToolResult result = RunCommand("sh -c " + test::Quote(command + " >/dev/full"));
        EXPECT_EQ(result.ExitCode, c.ExitCode) << command << "\n" << result.Err;
        const std::string prefix = c.Command.empty() ? "qrptool: " : "qrptool " + c.Command + ": ";
        EXPECT_EQ(result.Err, prefix + "standard output: cannot write: " + std::strerror(ENOSPC) + "\n") << command;
    }
    EXPECT_EQ(RunCommand(test::Quote(QRPTOOL_PATH) + " info " + test::Quote(document) + " >/dev/null").ExitCode, 0);
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
             {"print", file, "--printer", "Print to File (PDF)"},
         }) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << (arguments.empty() ? "" : arguments[0]) << " " << arguments.size();
        EXPECT_NE(result.Err.find("usage:"), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}).ExitCode, 0);

    // A reversed range is called so by every command that takes pages; a
    // value left out is said to be missing.
    const std::string reversed = "page range 4-2 is reversed: its last page comes before its first\n";
    EXPECT_EQ(Run({"print", file, "--pages", "4-2"}).Err.rfind("qrptool print: " + reversed, 0), 0u);
    EXPECT_EQ(Run({"render", file, "--pages", "4-2", "-o", Dir.File("out")}).Err.rfind("qrptool render: " + reversed, 0), 0u);
    EXPECT_EQ(Run({"text", file, "--pages", "1,4-2"}).Err.rfind("qrptool text: page range 4-2 is reversed", 0), 0u);
    EXPECT_EQ(Run({"print", file, "--pages", ""}).Err.rfind("qrptool print: bad value for --pages: none given\n", 0), 0u);
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

TEST_F(QrpTool, PreviewOpensTheWindowUntilItIsClosedOrAskedToQuit)
{
    // Bad input fails before any window opens, as in the other commands.
    const ToolResult missing = Run({"preview", Dir.File("missing.qrp")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(Lines(missing.Err), 1) << missing.Err;
    EXPECT_EQ(missing.Err.rfind("qrptool preview: " + Dir.File("missing.qrp") + ": ", 0), 0u) << missing.Err;
    test::WriteWholeFile(Dir.File("text.qrp"), Bytes(300, 'x'));
    const ToolResult junk = Run({"preview", Dir.File("text.qrp")});
    EXPECT_EQ(junk.ExitCode, 1);
    EXPECT_NE(junk.Err.find("not a report file"), std::string::npos) << junk.Err;
    EXPECT_EQ(Run({"preview"}).ExitCode, 2);
    EXPECT_EQ(Run({"preview", "a.qrp", "b.qrp"}).ExitCode, 2);

    // A sound file: the window stays until the program is asked to quit, which ends it with 0.
    const std::string file = WriteDocument("three.qrp", 3, true);
    const ToolResult shown = RunCommand("QT_QPA_PLATFORM=offscreen timeout --preserve-status -s TERM 3 " +
                                        test::Quote(QRPTOOL_PATH) + " preview " + test::Quote(file));
    EXPECT_EQ(shown.ExitCode, 0) << shown.Err;
    EXPECT_EQ(test::LinesNotBeginningWith(shown.Err, "qrptool preview: "), "") << shown.Err;
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

const std::vector<std::string> kCommands = {"info", "check", "pack", "unpack", "convert", "render", "sample", "print",
                                            "preview"};

// Standard error without the usage lines: "usage: qrptool CMD ..." and their continuations.
// The lines of standard error that are not the usage text ("qrptool CMD: usage: ..."
// and its continuation lines).
std::string WithoutUsage(const std::string& err)
{
    std::string rest;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t text = line.find(": ");
        const std::string message = text == std::string::npos ? line : line.substr(text + 2);
        if (message.rfind("usage: qrptool", 0) != 0 && message.rfind("       ", 0) != 0)
            rest += line + "\n";
    }
    return rest;
}

TEST_F(QrpTool, PackWithoutPagesIsAUsageErrorAndLeavesTheOutputAlone)
{
    const std::string existing = WriteDocument("keep.qrp", 2, true);
    const Bytes before = test::ReadWholeFile(existing);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"pack", existing}, {"pack", "--compress", existing}, {"pack", existing, "--compress"}}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_NE(result.Err.find("qrptool pack: give one or more page recordings after " + existing + "\n"),
                  std::string::npos)
            << result.Err;
        EXPECT_NE(result.Err.find("usage: qrptool pack [--compress] OUT.qrp PAGE.emf...\n"), std::string::npos)
            << result.Err;
        EXPECT_EQ(test::ReadWholeFile(existing), before) << "the report file was overwritten";
    }
    EXPECT_EQ(Run({"pack", Dir.File("new.qrp")}).ExitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("new.qrp")));
}

TEST_F(QrpTool, CheckWarnsOfOdditiesAndFailsOnlyOnDamage)
{
    // Other format words and bytes after the only page: readers get past both.
    Bytes odd = test::MakeDocument(1, false);
    StoreUInt16(odd.data() + 2, 306);
    odd.insert(odd.end(), 6, 0);
    test::WriteWholeFile(Dir.File("odd.qrp"), odd);
    const ToolResult warned = Run({"check", Dir.File("odd.qrp")});
    EXPECT_EQ(warned.ExitCode, 0) << warned.Err;
    EXPECT_EQ(Lines(warned.Err), 2) << warned.Err;
    EXPECT_EQ(test::LinesNotBeginningWith(warned.Err, "qrptool check: warning: " + Dir.File("odd.qrp") + ": "), "")
        << warned.Err;
    EXPECT_NE(warned.Err.find("header: the format words are 3 and 306 instead of 3 and 305"), std::string::npos);
    EXPECT_NE(warned.Err.find("6 bytes follow the record of the last page"), std::string::npos);
    EXPECT_EQ(warned.Out, Dir.File("odd.qrp") + ": readable, 2 warnings\n");

    // --strict: the same lines as errors.
    const ToolResult strict = Run({"check", "--strict", Dir.File("odd.qrp")});
    EXPECT_EQ(strict.ExitCode, 1);
    EXPECT_EQ(Lines(strict.Err), 2) << strict.Err;
    EXPECT_EQ(strict.Err.find("warning"), std::string::npos) << strict.Err;
    EXPECT_EQ(test::LinesNotBeginningWith(strict.Err, "qrptool check: " + Dir.File("odd.qrp") + ": "), "");
    EXPECT_EQ(strict.Out, "");

    // A sound file stays sound under --strict.
    const ToolResult sound = Run({"check", "--strict", WriteDocument("ok.qrp", 2, true)});
    EXPECT_EQ(sound.ExitCode, 0) << sound.Err;
    EXPECT_EQ(sound.Out, Dir.File("ok.qrp") + ": sound\n");

    // Bytes after the last of several pages: readers going to the last page miss it.
    Bytes tail = test::MakeDocument(3, false);
    tail.insert(tail.end(), 8, 1);
    test::WriteWholeFile(Dir.File("tail.qrp"), tail);
    const ToolResult damaged = Run({"check", Dir.File("tail.qrp")});
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_EQ(damaged.Err, "qrptool check: " + Dir.File("tail.qrp") +
                               ": 8 bytes follow the record of the last page (readers take the file's last four "
                               "bytes for the start of the last page)\n");
    EXPECT_EQ(Run({"render", Dir.File("tail.qrp"), "--pages", "3", "-o", Dir.File("tail")}).ExitCode, 1)
        << "readers do miss the last page";

    // Damage with an oddity: the oddity stays a warning, the exit code is 1.
    Bytes both = test::MakeDocument(2, false);
    StoreUInt16(both.data() + 2, 306);
    StoreUInt32(both.data() + 136, 2);
    test::WriteWholeFile(Dir.File("both.qrp"), both);
    const ToolResult mixed = Run({"check", Dir.File("both.qrp")});
    EXPECT_EQ(mixed.ExitCode, 1);
    EXPECT_NE(mixed.Err.find("qrptool check: warning: " + Dir.File("both.qrp") + ": header:"), std::string::npos)
        << mixed.Err;
    EXPECT_NE(mixed.Err.find("qrptool check: " + Dir.File("both.qrp") + ": page 1: Metafile is not valid"),
              std::string::npos)
        << mixed.Err;
    EXPECT_EQ(mixed.Out, "");
}

TEST_F(QrpTool, FilesThatAreNoReportFilesAreNamedSo)
{
    test::MakePage(1).SaveToFile(Dir.File("page.emf"));
    Bytes pdf = {'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n'};
    pdf.resize(3000, ' ');
    test::WriteWholeFile(Dir.File("x.pdf"), pdf);
    test::WriteWholeFile(Dir.File("short.qrp"), Bytes(50, 0));
    test::WriteWholeFile(Dir.File("zeros.bin"), Bytes(1000, 0));
    const std::vector<std::pair<std::string, std::string>> files = {
        {Dir.File("x.pdf"), "it is a PDF document"},
        {Dir.File("page.emf"), "it is an EMF page recording"},
        {Dir.File("short.qrp"), "it is shorter than the 128-byte header: 50 bytes"},
        {Dir.File("zeros.bin"), "it does not begin with the format words 3 and 305, nor with a header like a report file's"},
    };
    for (const auto& [file, reason] : files) {
        for (const std::string command : {"info", "check", "unpack"}) {
            std::vector<std::string> arguments = {command, file};
            if (command == "unpack")
                arguments.push_back(Dir.File("pages"));
            const ToolResult result = Run(arguments);
            EXPECT_EQ(result.ExitCode, 1) << command << " " << file;
            EXPECT_EQ(result.Err, "qrptool " + command + ": " + file + ": not a report file (" + reason + ")\n");
            EXPECT_EQ(result.Out, "");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.File("pages")));
    // A report file with other format words is still one.
    Bytes odd = test::MakeDocument(2, false);
    StoreUInt16(odd.data(), 4);
    test::WriteWholeFile(Dir.File("odd.qrp"), odd);
    const ToolResult info = Run({"info", Dir.File("odd.qrp")});
    EXPECT_EQ(info.ExitCode, 0) << info.Err;
    EXPECT_NE(info.Out.find("Pages:       2"), std::string::npos);
}

TEST_F(QrpTool, EveryCommandAnswersHelpWithItsOwnUsage)
{
    for (const std::string& command : kCommands) {
        for (const std::string help : {"--help", "-h"}) {
            const ToolResult result = Run({command, help});
            EXPECT_EQ(result.ExitCode, 0) << command << " " << help << ": " << result.Err;
            EXPECT_EQ(result.Err, "");
            EXPECT_EQ(result.Out.rfind("usage: qrptool " + command + " ", 0), 0u) << result.Out;
            for (const std::string& other : kCommands) {
                if (other != command) {
                    EXPECT_EQ(result.Out.find("qrptool " + other + " "), std::string::npos)
                        << command << " --help shows " << other << ":\n" << result.Out;
                }
            }
        }
    }
    // Help wins over whatever else the line holds, and needs no input.
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"render", "--help"},
             {"render", "--bogus", "--help"},
             {"render", Dir.File("missing.qrp"), "-o", Dir.File("x"), "--dpi", "0", "-h"},
             {"print", "--copies", "0", "--help"},
             {"pack", Dir.File("out.qrp"), "--help"}}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 0) << arguments.back() << ": " << result.Err;
        EXPECT_EQ(result.Out.rfind("usage: qrptool " + arguments[0] + " ", 0), 0u) << result.Out;
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.File("x")));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("out.qrp")));
    // "--" ends the options: a file may be named -h.
    EXPECT_EQ(Run({"info", "--", "-h"}).ExitCode, 1);

    // The program's own help lists every command.
    for (const std::string help : {"--help", "-h"}) {
        const ToolResult all = Run({help});
        EXPECT_EQ(all.ExitCode, 0);
        for (const std::string& command : kCommands)
            EXPECT_NE(all.Out.find("qrptool " + command + " "), std::string::npos) << command;
        EXPECT_NE(all.Out.find("qrptool COMMAND --help"), std::string::npos);
    }
}

TEST_F(QrpTool, VersionIsTheProjectsVersion)
{
    ASSERT_NE(test::ProjectVersion(), "");
    const ToolResult version = Run({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Out, "qrptool " + test::ProjectVersion() + "\n");
    EXPECT_EQ(version.Err, "");
}

TEST_F(QrpTool, EveryMessageBeginsWithTheProgramAndTheCommand)
{
    const std::string file = WriteDocument("a.qrp", 2, false);
    Bytes broken = test::MakeDocument(2, false);
    StoreInt32(broken.data() + 128, 9);
    test::WriteWholeFile(Dir.File("broken.qrp"), broken);
    const std::string missing = Dir.File("missing.qrp");
    const std::vector<std::vector<std::string>> runs = {
        {"info", missing},
        {"info", Dir.File("broken.qrp")},
        {"info", "--verbose", file},
        {"check", missing},
        {"check", Dir.File("broken.qrp")},
        {"pack", Dir.File("b.qrp"), missing},
        {"pack", file},
        {"unpack", missing, Dir.File("out")},
        {"unpack", file},
        {"convert", "--plain", Dir.File("broken.qrp"), Dir.File("c.qrp")},
        {"convert", file, Dir.File("c.qrp")},
        {"render", missing, "-o", Dir.File("r")},
        {"render", file, "-o", Dir.File("r.png")},
        {"render", file, "--dpi", "x", "-o", Dir.File("r")},
        {"sample"},
        {"sample", Dir.File("no/such/folder/s.qrp")},
        {"print", missing, "--output", Dir.File("p.pdf")},
        {"print", file, "--copies", "0"},
        {"preview", missing},
        {"preview", file, "--printer", "x", "--output", Dir.File("p.pdf")},
    };
    for (const auto& arguments : runs) {
        const ToolResult result = Run(arguments);
        EXPECT_NE(result.ExitCode, 0) << arguments[0] << " " << arguments.back();
        EXPECT_NE(result.Err, "") << arguments[0] << " " << arguments.back();
        EXPECT_EQ(test::LinesNotBeginningWith(result.Err, "qrptool " + arguments[0] + ": "), "")
            << arguments[0] << " " << arguments.back() << ":\n" << result.Err;
        EXPECT_NE(WithoutUsage(result.Err), "") << "a message besides the usage: " << result.Err;
    }
    // Without a command: the program's name alone.
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>> {{}, {"frobnicate"}, {"--frobnicate"}}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2);
        EXPECT_EQ(test::LinesNotBeginningWith(result.Err, "qrptool: "), "") << result.Err;
        EXPECT_NE(WithoutUsage(result.Err), "") << result.Err;
    }
}

}  // namespace
}  // namespace qrp
