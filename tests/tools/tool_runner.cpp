#include "tests/tools/tool_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace qrp::test {

std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ProjectVersion()
{
    const Bytes bytes = ReadWholeFile(QRP_SOURCE_DIR "/CMakeLists.txt");
    const std::string text(bytes.begin(), bytes.end());
    std::smatch match;
    if (!std::regex_search(text, match, std::regex(R"(project\([^)]*VERSION\s+([0-9][0-9.]*))")))
        return {};
    return match[1];
}

std::string LinesNotBeginningWith(const std::string& text, const std::string& prefix)
{
    std::istringstream lines(text);
    std::string others;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(prefix, 0) != 0)
            others += line + "\n";
    return others;
}

ToolResult ToolRunner::RunCommand(const std::string& command)
{
    const std::string redirected = command + " >" + Quote(Dir.File("out.txt")) + " 2>" + Quote(Dir.File("err.txt"));
    const int status = std::system(redirected.c_str());
    ToolResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const Bytes out = ReadWholeFile(Dir.File("out.txt"));
    const Bytes err = ReadWholeFile(Dir.File("err.txt"));
    result.Out.assign(out.begin(), out.end());
    result.Err.assign(err.begin(), err.end());
    return result;
}

ToolResult ToolRunner::Run(const std::vector<std::string>& arguments)
{
    std::string command = Quote(QRPTOOL_PATH);
    for (const auto& argument : arguments)
        command += " " + Quote(argument);
    return RunCommand(command);
}

std::string ToolRunner::WriteDocument(const std::string& name, int pages, bool compressed)
{
    WriteWholeFile(Dir.File(name), MakeDocument(pages, compressed));
    return Dir.File(name);
}

int ToolRunner::Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace qrp::test
