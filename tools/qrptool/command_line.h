#pragma once
// The arguments of one qrptool command: its flags ("--json"), its options
// with a value ("--dpi 300", "--dpi=300", "-o OUT") and its operands, in order.
// "--help" and "-h" are every command's flags; "--" ends the options.

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace qrptool {

// A command used wrongly; the tool prints the text and the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file the command could not read or write; the tool exits with 1.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CommandLine {
public:
    // Raises UsageError for an unknown option or an option without its value,
    // unless help is asked for.
    CommandLine(const std::vector<std::string>& arguments, const std::set<std::string>& allowedFlags,
                const std::set<std::string>& allowedValueOptions = {});
    // "--help" or "-h" was given: the command only shows its usage.
    bool HelpRequested() const { return Help; }
    // A flag given, or an option given a value.
    bool Has(const std::string& option) const { return Options.count(option) != 0 || Values.count(option) != 0; }
    // The value given to an option, or fallback when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
    const std::vector<std::string>& Operands() const { return Positional; }
    // Raises UsageError unless the operand count lies in [least, most].
    void ExpectOperands(std::size_t least, std::size_t most) const;

private:
    std::set<std::string> Options;
    std::map<std::string, std::string> Values;
    std::vector<std::string> Positional;
    bool Help = false;
};

// text as a whole number from min to max; UsageError naming option otherwise.
int ParseNumber(const std::string& text, const std::string& option, int min, int max);

// The usage error of a page range whose last page comes before its first.
UsageError ReversedPageRange(const std::string& range);

// The commands; each returns the exit code.
int RunInfo(const CommandLine& line);
int RunCheck(const CommandLine& line);
int RunPack(const CommandLine& line);
int RunUnpack(const CommandLine& line);
int RunConvert(const CommandLine& line);
int RunRender(const CommandLine& line);
int RunSample(const CommandLine& line);
int RunPrint(const CommandLine& line);
int RunPreview(const CommandLine& line);
int RunText(const CommandLine& line);
int RunGrep(const CommandLine& line);

}  // namespace qrptool
