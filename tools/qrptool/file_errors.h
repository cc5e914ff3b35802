#pragma once

#include <exception>
#include <filesystem>
#include <system_error>
#include <string>

#include "report/report_file_check.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/messages.h"

namespace qrptool {

// Runs action; any failure becomes a FileError whose text starts with the file's name.
template <typename Action>
auto OnFile(const std::string& fileName, Action&& action) -> decltype(action())
{
    try {
        return action();
    } catch (const std::exception& error) {
        throw FileError(fileName + ": " + ErrorText(error));
    }
}

// Makes folder and the folders above it; a FileError with the system's reason if it cannot.
inline void CreateFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw FileError(folder.string() + ": cannot create the folder: " + error.message());
}

// A FileError "NAME: not a report file (it is a PDF document)" unless the file
// is a report file, sound or damaged; one that cannot be read fails as OnFile.
inline void RequireReportFile(const std::string& fileName)
{
    const auto reason = OnFile(fileName, [&] { return qrp::WhyNotAReportFile(fileName); });
    if (reason)
        throw FileError(fileName + ": not a report file (" + *reason + ")");
}

}  // namespace qrptool
