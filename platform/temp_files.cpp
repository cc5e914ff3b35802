#include "platform/temp_files.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/exceptions.h"

namespace qrp {

std::string GetTempDirectory()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string directory = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    if (directory.back() != '/')
        directory += '/';
    return directory;
}

std::string CreateUniqueTempFile(const std::string& directory, const std::string& prefix)
{
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int handle = ::mkstemp(name.data());
    if (handle < 0)
        throw EFCreateError(pattern, errno);
    ::close(handle);
    return name.data();
}

bool DeleteFile(const std::string& fileName) { return ::unlink(fileName.c_str()) == 0; }

bool FileExists(const std::string& fileName)
{
    struct stat info {};
    return ::stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace qrp
