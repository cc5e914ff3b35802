#include "tools/qrptool/command_line.h"

#include <limits>

namespace qrptool {

CommandLine::CommandLine(const std::vector<std::string>& arguments, const std::set<std::string>& allowedFlags,
                         const std::set<std::string>& allowedValueOptions)
{
    bool onlyOperands = false;
    std::string firstError;  // raised once the whole line is read, and only without --help
    const auto fail = [&](const std::string& error) {
        if (firstError.empty())
            firstError = error;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = !onlyOperands && argument.size() > 1 && argument[0] == '-' &&
                              (argument.rfind("--", 0) == 0 ? argument.size() > 2 : argument.size() == 2);
        if (!onlyOperands && argument == "--") {
            onlyOperands = true;
        } else if (!isOption) {
            Positional.push_back(argument);
        } else if (argument == "--help" || argument == "-h") {
            Help = true;
        } else if (allowedFlags.count(argument) != 0) {
            Options.insert(argument);
        } else {
            const auto equals = argument.find('=');
            const std::string name = argument.substr(0, equals);
            if (allowedValueOptions.count(name) == 0)
                fail("unknown option " + name);
            else if (equals != std::string::npos)
                Values[name] = argument.substr(equals + 1);
            else if (i + 1 < arguments.size())
                Values[name] = arguments[++i];
            else
                fail("option " + name + " needs a value");
        }
    }
    if (!Help && !firstError.empty())
        throw UsageError(firstError);
}

std::string CommandLine::Value(const std::string& option, const std::string& fallback) const
{
    const auto found = Values.find(option);
    return found == Values.end() ? fallback : found->second;
}

void CommandLine::ExpectOperands(std::size_t least, std::size_t most) const
{
    if (Positional.size() < least)
        throw UsageError("missing operand");
    if (Positional.size() > most)
        throw UsageError("too many operands");
}

int ParseNumber(const std::string& text, const std::string& option, int min, int max)
{
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (text.empty())
        throw UsageError("bad value for " + option + ": none given");
    if (used != text.size() || value < min || value > max)
        throw UsageError("bad value for " + option + ": " + text);
    return static_cast<int>(value);
}

UsageError ReversedPageRange(const std::string& range)
{
    return UsageError("page range " + range + " is reversed: its last page comes before its first");
}

}  // namespace qrptool
