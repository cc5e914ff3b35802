#include "platform/file_replace.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/temp_files.h"

namespace qrp {

namespace {
std::string DirectoryOf(const std::string& fileName)
{
    const auto slash = fileName.rfind('/');
    return slash == std::string::npos ? "./" : fileName.substr(0, slash + 1);
}

// New files get the usual permissions (0666 less the umask), not mkstemp's 0600;
// a replaced file keeps its own.
void SetPermissions(const std::string& tempName, const std::string& fileName)
{
    struct stat existing {};
    mode_t mode;
    if (::stat(fileName.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(tempName.c_str(), mode);
}
}  // namespace

void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write)
{
    std::string tempName;
    try {
        tempName = CreateUniqueTempFile(DirectoryOf(fileName), ".qrp-write-");
    } catch (const EFCreateError&) {
        throw EFCreateError(fileName);
    }
    try {
        {
            TFileStream file(tempName, TFileMode::fmCreate);
            write(file);
        }
        SetPermissions(tempName, fileName);
        if (std::rename(tempName.c_str(), fileName.c_str()) != 0)
            throw EFCreateError(fileName);
    } catch (...) {
        DeleteFile(tempName);
        throw;
    }
}

}  // namespace qrp
