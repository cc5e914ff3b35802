#include "platform/exceptions.h"

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

EFOpenError::EFOpenError(const std::string& fileName)
    : EStreamError(FormatMessage(kCannotOpenFile, fileName)) {}

EFCreateError::EFCreateError(const std::string& fileName)
    : EStreamError(FormatMessage(kCannotCreateFile, fileName)) {}

EReadError::EReadError() : EStreamError(kStreamReadError) {}

EWriteError::EWriteError() : EStreamError(kStreamWriteError) {}

EInvalidGraphic::EInvalidGraphic() : Exception(kMetafileNotValid) {}

}  // namespace qrp
