// qrptool check: is a report file sound?

#include <cstdio>
#include <string>

#include "report/report_file_check.h"
#include "tools/qrptool/command_line.h"

namespace qrptool {

int RunCheck(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    const auto problems = qrp::CheckReportFile(fileName);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "%s: %s\n", fileName.c_str(), problem.c_str());
    if (!problems.empty())
        return 1;
    std::printf("%s: sound\n", fileName.c_str());
    return 0;
}

}  // namespace qrptool
