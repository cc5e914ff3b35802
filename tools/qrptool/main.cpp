// qrptool: report files from the command line.
//
// Exit codes: 0 success, 1 a file that cannot be read or written (one line on
// stderr says why), 2 a usage error.

#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/qrptool/command_line.h"

namespace {

constexpr const char* kUsage =
    "usage: qrptool info [--json] FILE\n"
    "       qrptool check FILE\n"
    "       qrptool pack [--compress] OUT.qrp PAGE.emf...\n"
    "       qrptool unpack FILE OUTDIR\n"
    "       qrptool convert (--compress|--plain) IN.qrp OUT.qrp\n"
    "       qrptool render IN.qrp|IN.emf [--pages LIST] [--dpi N] [--format png|pdf|svg] -o OUT\n"
    "       qrptool sample OUT.qrp [--compress]\n"
    "       qrptool print FILE [--printer NAME | --output FILE.pdf] [--pages A-B] [--copies N]\n"
    "                          [--landscape|--portrait]\n";

struct Command {
    std::set<std::string> Flags;
    std::set<std::string> ValueOptions;
    std::function<int(const qrptool::CommandLine&)> Run;
};

const std::map<std::string, Command>& Commands()
{
    static const std::map<std::string, Command> commands = {
        {"info", {{"--json"}, {}, qrptool::RunInfo}},
        {"check", {{}, {}, qrptool::RunCheck}},
        {"pack", {{"--compress"}, {}, qrptool::RunPack}},
        {"unpack", {{}, {}, qrptool::RunUnpack}},
        {"convert", {{"--compress", "--plain"}, {}, qrptool::RunConvert}},
        {"render", {{}, {"--pages", "--dpi", "--format", "-o"}, qrptool::RunRender}},
        {"sample", {{"--compress"}, {}, qrptool::RunSample}},
        {"print", {{"--landscape", "--portrait"}, {"--printer", "--output", "--pages", "--copies"}, qrptool::RunPrint}},
    };
    return commands;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(kUsage, arguments.empty() ? stderr : stdout);
        return arguments.empty() ? 2 : 0;
    }
    const auto command = Commands().find(arguments[0]);
    if (command == Commands().end()) {
        std::fprintf(stderr, "qrptool: unknown command %s\n%s", arguments[0].c_str(), kUsage);
        return 2;
    }
    try {
        const qrptool::CommandLine line({arguments.begin() + 1, arguments.end()}, command->second.Flags,
                                        command->second.ValueOptions);
        return command->second.Run(line);
    } catch (const qrptool::UsageError& error) {
        std::fprintf(stderr, "qrptool %s: %s\n%s", arguments[0].c_str(), error.what(), kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qrptool %s: %s\n", arguments[0].c_str(), error.what());
        return 1;
    }
}
