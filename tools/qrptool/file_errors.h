#pragma once

#include <exception>
#include <string>

#include "tools/qrptool/command_line.h"

namespace qrptool {

// Runs action; any failure becomes a FileError whose text starts with the file's name.
template <typename Action>
auto OnFile(const std::string& fileName, Action&& action) -> decltype(action())
{
    try {
        return action();
    } catch (const std::exception& error) {
        throw FileError(fileName + ": " + error.what());
    }
}

}  // namespace qrptool
