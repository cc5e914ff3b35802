// qrptool check: is a report file sound? Damage is an error; oddities that
// readers get past are warnings, errors with --strict.

#include <cstdio>
#include <string>

#include "report/report_file_check.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

int RunCheck(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    const bool strict = line.Has("--strict");
    int errors = 0;
    int warnings = 0;
    for (const qrp::TCheckProblem& problem : qrp::InspectReportFile(fileName)) {
        const std::string text = fileName + ": " + problem.Text + (problem.Note.empty() ? "" : " (" + problem.Note + ")");
        if (problem.Severity == qrp::TCheckSeverity::Oddity && !strict) {
            Warn(text);
            ++warnings;
        } else {
            Complain(text);
            ++errors;
        }
    }
    if (errors > 0)
        return 1;
    if (warnings > 0)
        std::printf("%s: readable, %d %s\n", fileName.c_str(), warnings, warnings == 1 ? "warning" : "warnings");
    else
        std::printf("%s: sound\n", fileName.c_str());
    return 0;
}

}  // namespace qrptool
