#include "tools/qrptool/command_line.h"

#include <limits>

namespace qrptool {

CommandLine::CommandLine(const std::vector<std::string>& arguments, const std::set<std::string>& allowedOptions)
{
    bool onlyOperands = false;
    for (const std::string& argument : arguments) {
        if (!onlyOperands && argument == "--") {
            onlyOperands = true;
        } else if (!onlyOperands && argument.size() > 2 && argument.rfind("--", 0) == 0) {
            if (allowedOptions.count(argument) == 0)
                throw UsageError("unknown option " + argument);
            Options.insert(argument);
        } else {
            Positional.push_back(argument);
        }
    }
}

void CommandLine::ExpectOperands(std::size_t least, std::size_t most) const
{
    if (Positional.size() < least)
        throw UsageError("missing operand");
    if (Positional.size() > most)
        throw UsageError("too many operands");
}

}  // namespace qrptool
