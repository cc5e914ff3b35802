// qrptool: report files from the command line.
//
// Exit codes: 0 success, 1 a file that cannot be read or written (one line on
// stderr says why), 2 a usage error; grep's are grep's (0 found, 1 nothing
// found, 2 an error). Every line on stderr begins with the
// program and the command: "qrptool render: ...".

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "preview/qr_preview_interface.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/messages.h"

#ifndef QRP_VERSION
#error "QRP_VERSION, the project's version, comes from the build"
#endif

namespace {

struct Command {
    std::set<std::string> Flags;
    std::set<std::string> ValueOptions;
    std::function<int(const qrptool::CommandLine&)> Run;
    // The usage lines after "usage: ", continuations indented under "qrptool".
    std::vector<std::string> Synopsis;
    // What the command does and what its options mean, for --help.
    const char* Description;
    // The exit code of a failure that ends the command (grep's is 2).
    int FailureCode = 1;
};

const std::map<std::string, Command>& Commands()
{
    static const std::map<std::string, Command> commands = {
        {"info",
         {{"--json"},
          {},
          qrptool::RunInfo,
          {"qrptool info [--json] FILE"},
          "Shows a report file's page count, compression, date, the size of page 1 and\n"
          "the paper and orientation loading recognises from it.\n"
          "  --json   the same as one JSON object\n"}},
        {"check",
         {{"--strict"},
          {},
          qrptool::RunCheck,
          {"qrptool check [--strict] FILE"},
          "Validates the header, the record chain and every page of a report file.\n"
          "Damage is an error (exit 1). Oddities that readers get past, such as\n"
          "unusual format words or bytes no reader looks at, are warnings (exit 0).\n"
          "  --strict   oddities are errors too (exit 1)\n"}},
        {"pack",
         {{"--compress"},
          {},
          qrptool::RunPack,
          {"qrptool pack [--compress] OUT.qrp PAGE.emf..."},
          "Makes a report file of one or more page recordings, in the order given.\n"
          "  --compress   store the pages splay-tree coded\n"}},
        {"unpack",
         {{},
          {},
          qrptool::RunUnpack,
          {"qrptool unpack FILE OUTDIR"},
          "Writes every page of a report file as OUTDIR/page-0001.emf ..., byte for byte.\n"}},
        {"convert",
         {{"--compress", "--plain"},
          {},
          qrptool::RunConvert,
          {"qrptool convert (--compress|--plain) IN.qrp OUT.qrp"},
          "Rewrites a report file with its pages splay-tree coded or plain; OUT.qrp may\n"
          "be IN.qrp.\n"}},
        {"render",
         {{},
          {"--pages", "--dpi", "--format", "-o", "-j"},
          qrptool::RunRender,
          {"qrptool render IN.qrp|IN.emf... [--pages LIST] [--dpi N] [--format png|pdf|svg] [-j N] -o OUT"},
          "Renders the pages of report files, or of single page recordings.\n"
          "  --pages LIST   pages in the order given, e.g. 1,3-5 (default: all)\n"
          "  --dpi N        resolution of PNG and SVG pictures, 1 to 4800 (default 96)\n"
          "  --format F     png, pdf or svg (default: from OUT's extension, else png)\n"
          "  -j N           pages drawn side by side, one a worker (default: a worker\n"
          "                 for every processor; -j 1 one page after another). The\n"
          "                 files and messages are the same for any N.\n"
          "  -o OUT         PNG/SVG: the folder OUT/page-0001.png ...; when one page is\n"
          "                 rendered and OUT ends in .png or .svg, the file OUT itself.\n"
          "                 PDF: one file, each page at its frame size.\n"
          "Several files: OUT is a folder; FILE's pictures go to OUT/NAME/page-0001.png\n"
          "..., its PDF to OUT/NAME.pdf (NAME: FILE's name without its extension). A\n"
          "file that cannot be rendered is reported and the others still go (exit 1).\n"
          "PNG pages are drawn in strips of a few tens of megabytes, so that any size\n"
          "up to 2^31 - 1 pixels a side (2^22 wide, 2^36 pixels in all) takes little memory.\n"}},
        {"sample",
         {{"--compress"},
          {},
          qrptool::RunSample,
          {"qrptool sample OUT.qrp [--compress]"},
          "Writes the bundled sample report, produced through the report printer.\n"
          "  --compress   store the pages splay-tree coded\n"}},
        {"print",
         {{"--landscape", "--portrait"},
          {"--printer", "--output", "--pages", "--copies"},
          qrptool::RunPrint,
          {"qrptool print FILE [--printer NAME | --output FILE.pdf] [--pages A-B] [--copies N]",
           "                   [--landscape|--portrait]"},
          "Prints a report file as the viewer does: on the default printer, on the CUPS\n"
          "queue NAME, or into a PDF file. The paper is recognised from page 1, the\n"
          "orientation too unless given.\n"}},
        {"preview",
         {{},
          {"--printer", "--output"},
          qrptool::RunPreview,
          {"qrptool preview FILE [--printer NAME | --output FILE.pdf]"},
          "Shows a report file in the default preview window until it is closed: zoom,\n"
          "page through it, save it as a report file, PDF, PNG or SVG, load another\n"
          "report file, print it.\n"
          "  --printer NAME      Print prints on the CUPS queue NAME\n"
          "  --output FILE.pdf   Print prints into the PDF file FILE.pdf\n"
          "                      (default: the default printer)\n"}},
        {"text",
         {{"--layout", "--json"},
          {"--pages", "-j"},
          qrptool::RunText,
          {"qrptool text FILE... [--pages LIST] [--layout] [--json] [-j N]"},
          "Writes the words of report files' pages (or of single page recordings) as\n"
          "text: a line of the page is the words on one baseline, left to right, lines\n"
          "top to bottom, turned text in lines of its own, a form feed between pages.\n"
          "Characters a page gives only as glyph numbers come out as U+FFFD. A file\n"
          "that cannot be read is reported and the others still go (exit 1).\n"
          "  --pages LIST   pages of each file in the order given, e.g. 1,3-5 (default: all)\n"
          "  -j N           pages read side by side, one a worker (default: a worker for\n"
          "                 every processor); the output is the same for any N\n"
          "  --layout       words placed in character columns by position, so that the\n"
          "                 columns of tables stay aligned\n"
          "  --json         one JSON object per page, each on a line: {\"file\", \"page\",\n"
          "                 \"text\", \"words\": [{\"text\", \"box\": [x, y, w, h]}]}, boxes in\n"
          "                 millimetres from the page's top left; a word has \"clipped\",\n"
          "                 \"outside\" or \"unknown\": true where the clip hides it, it\n"
          "                 lies beyond the page, or its characters are unknown\n"}},
        {"grep",
         {{"-i", "-E", "-l", "-c", "--ignore-diacritics"},
          {"-j"},
          qrptool::RunGrep,
          {"qrptool grep PATTERN FILE... [-i] [--ignore-diacritics] [-E] [-l] [-c] [-j N]"},
          "Prints the lines of report pages that hold PATTERN as FILE:PAGE: LINE, a line\n"
          "being what qrptool text makes of it (words joined by single spaces).\n"
          "Exit 0 when a line matched, 1 when none did, 2 on an error: a file that\n"
          "cannot be searched is reported, the others are still searched, and the exit\n"
          "code is 2 even when they matched.\n"
          "  -i   ignore case\n"
          "  --ignore-diacritics\n"
          "       ignore diacritics and case, as the viewer's find does (\"ruzicka\"\n"
          "       finds \"Růžička\"); with -E the line is matched without its diacritics\n"
          "  -E   PATTERN is a regular expression (Perl-compatible, which covers the\n"
          "       extended syntax) instead of a fixed string\n"
          "  -l   only the names of the files with a matching line\n"
          "  -c   only the number of matching lines, per file (FILE:N with several files)\n"
          "  -j N pages read side by side, one a worker (default: a worker for every\n"
          "       processor); the output is the same for any N\n",
          2}},
    };
    return commands;
}

// "usage: " before the first line, its width of spaces before the others.
std::string UsageLines(const std::vector<std::string>& lines, bool first)
{
    std::string text;
    for (const std::string& line : lines) {
        text += (first ? "usage: " : "       ") + line + "\n";
        first = false;
    }
    return text;
}

std::string FullUsage()
{
    std::string text;
    bool first = true;
    for (const char* name : {"info", "check", "pack", "unpack", "convert", "render", "sample", "print", "preview", "text",
                             "grep"}) {
        text += UsageLines(Commands().at(name).Synopsis, first);
        first = false;
    }
    return text + UsageLines({"qrptool COMMAND --help", "qrptool --version"}, false);
}

std::string CommandUsage(const Command& command) { return UsageLines(command.Synopsis, true); }

// A usage text on standard error, every line with the program and the command before it.
void ComplainUsage(const std::string& usage)
{
    std::size_t start = 0;
    while (start < usage.size()) {
        const std::size_t end = usage.find('\n', start);
        qrptool::Complain(usage.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? usage.size() : end + 1;
    }
}

// Whether everything written to standard output reached it; a full disk or a
// closed pipe is said with the system's words.
bool StandardOutputWritten()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    qrptool::Complain(std::string("standard output: cannot write") + (errno != 0 ? std::string(": ") + std::strerror(errno) : ""));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // Report printers without a preview handler open the standard preview window.
    qrp::UseStandardPreview();
    if (arguments.empty()) {
        qrptool::Complain("no command given");
        ComplainUsage(FullUsage());
        return 2;
    }
    if (arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(FullUsage().c_str(), stdout);
        return StandardOutputWritten() ? 0 : 1;
    }
    if (arguments[0] == "--version") {
        std::printf("qrptool %s\n", QRP_VERSION);
        return StandardOutputWritten() ? 0 : 1;
    }
    const auto command = Commands().find(arguments[0]);
    if (command == Commands().end()) {
        qrptool::Complain((arguments[0].rfind('-', 0) == 0 ? "unknown option " : "unknown command ") + arguments[0]);
        ComplainUsage(FullUsage());
        return 2;
    }
    qrptool::SetCommandName(command->first);
    try {
        const qrptool::CommandLine line({arguments.begin() + 1, arguments.end()}, command->second.Flags,
                                        command->second.ValueOptions);
        if (line.HelpRequested()) {
            std::printf("%s\n%s", CommandUsage(command->second).c_str(), command->second.Description);
            return StandardOutputWritten() ? 0 : command->second.FailureCode;
        }
        const int status = command->second.Run(line);
        return StandardOutputWritten() ? status : command->second.FailureCode;
    } catch (const qrptool::UsageError& error) {
        qrptool::Complain(error.what());
        ComplainUsage(CommandUsage(command->second));
        return 2;
    } catch (const std::exception& error) {
        qrptool::Complain(qrptool::ErrorText(error));
        return command->second.FailureCode;
    }
}
