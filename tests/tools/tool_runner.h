#pragma once
// Runs the real qrptool binary (or another command) and captures its exit
// code, standard output and standard error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace qrp::test {

struct ToolResult {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// The word in single quotes for the shell.
std::string Quote(const std::string& word);

// The version in the top CMakeLists.txt's project(... VERSION x.y.z).
std::string ProjectVersion();

// The lines of text that do not begin with prefix, each followed by a line end;
// empty when every line does.
std::string LinesNotBeginningWith(const std::string& text, const std::string& prefix);

class ToolRunner : public ::testing::Test {
protected:
    ToolResult Run(const std::vector<std::string>& arguments);
    ToolResult RunCommand(const std::string& command);
    std::string WriteDocument(const std::string& name, int pages, bool compressed);
    static int Lines(const std::string& text);

    ScratchDir Dir;
};

}  // namespace qrp::test
