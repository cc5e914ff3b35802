#include "tests/support/commands.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

namespace qrp::test {

TCommandResult RunCommand(const std::string& command)
{
    TCommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.Output.append(buffer, got);
    const int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

namespace {
// The value pdfinfo gives for a field ("Pages:"), or empty.
std::string PdfInfoField(const std::filesystem::path& file, const std::string& field)
{
    const std::string info = RunCommand("pdfinfo '" + file.string() + "' 2>&1").Output;
    const auto at = info.find(field);
    if (at == std::string::npos)
        return {};
    const auto start = info.find_first_not_of(' ', at + field.size());
    const auto end = info.find('\n', start);
    return info.substr(start, end - start);
}
}  // namespace

int PdfPageCount(const std::filesystem::path& file)
{
    const std::string pages = PdfInfoField(file, "Pages:");
    return pages.empty() ? -1 : std::atoi(pages.c_str());
}

std::string PdfPageSize(const std::filesystem::path& file)
{
    // "595 x 842 pts (A4)" -> "595 x 842"
    const std::string size = PdfInfoField(file, "Page size:");
    const auto points = size.find(" pts");
    return size.substr(0, points);
}

std::string PdfText(const std::filesystem::path& file, int first, int last)
{
    return RunCommand("pdftotext -f " + std::to_string(first) + " -l " + std::to_string(last) + " '" + file.string() +
                      "' - 2>&1")
        .Output;
}

}  // namespace qrp::test
