#include "platform/exceptions.h"

#include <cstring>
#include <utility>

namespace qrp {

namespace {
constexpr const char* kCannotOpenFile = "Cannot open file %s";
constexpr const char* kCannotCreateFile = "Cannot create file %s";
constexpr const char* kStreamReadError = "Stream read error";
constexpr const char* kStreamWriteError = "Stream write error";
constexpr const char* kMetafileNotValid = "Metafile is not valid";
}  // namespace

std::string FormatMessage(const std::string& messageTemplate, const std::string& argument)
{
    std::string text = messageTemplate;
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

std::string SystemErrorText(int systemError) { return systemError != 0 ? std::strerror(systemError) : ""; }

EStreamError::EStreamError(const std::string& message, std::string reason) : Exception(message), Why(std::move(reason)) {}

EFOpenError::EFOpenError(const std::string& fileName, int systemError)
    : EStreamError(FormatMessage(kCannotOpenFile, fileName), SystemErrorText(systemError)) {}

EFCreateError::EFCreateError(const std::string& fileName, int systemError)
    : EFCreateError(fileName, SystemErrorText(systemError)) {}

EFCreateError::EFCreateError(const std::string& fileName, const std::string& reason)
    : EStreamError(FormatMessage(kCannotCreateFile, fileName), reason) {}

EReadError::EReadError() : EStreamError(kStreamReadError) {}

EWriteError::EWriteError() : EStreamError(kStreamWriteError) {}

EInvalidGraphic::EInvalidGraphic() : Exception(kMetafileNotValid) {}

}  // namespace qrp
