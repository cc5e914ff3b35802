#include "platform/file_replace.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <utility>

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

// The process's file mode creation mask. The kernel tells it without
// changing it; setting it to read it back would, for that moment, give the
// files other threads create the wrong permissions.
mode_t ProcessUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned value = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &value) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(value & 0777);
    }
    const mode_t old = ::umask(0);
    ::umask(old);
    return old;
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
        mode = 0666 & ~ProcessUmask();
    }
    ::chmod(tempName.c_str(), mode);
}
}  // namespace

TReplacingFile::TReplacingFile(std::string fileName) : Name(std::move(fileName))
{
    try {
        TempName = CreateUniqueTempFile(DirectoryOf(Name), ".qrp-write-");
    } catch (const EFCreateError& error) {
        throw EFCreateError(Name, error.Reason());
    }
    try {
        File = std::make_unique<TFileStream>(TempName, TFileMode::fmCreate);
    } catch (...) {
        DeleteFile(TempName);
        throw;
    }
}

TReplacingFile::~TReplacingFile()
{
    if (TempName.empty())
        return;
    File.reset();
    DeleteFile(TempName);
}

TStream& TReplacingFile::Stream()
{
    if (!File)
        throw EWriteError();
    return *File;
}

void TReplacingFile::Commit()
{
    if (!File)
        throw EFCreateError(Name);
    File.reset();
    SetPermissions(TempName, Name);
    if (std::rename(TempName.c_str(), Name.c_str()) != 0)
        throw EFCreateError(Name, errno);
    TempName.clear();
}

void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write)
{
    TReplacingFile file(fileName);
    write(file.Stream());
    file.Commit();
}

}  // namespace qrp
