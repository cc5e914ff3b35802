#include "platform/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/exceptions.h"

namespace qrp {

namespace {
// Repeats a read or write until count bytes moved, the file ends or it fails;
// returns the bytes moved. Interrupted calls are retried.
template <typename Transfer>
std::size_t TransferAll(std::size_t count, Transfer transfer)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = transfer(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : Name(fileName)
{
    if (mode == TFileMode::fmOpenReadShared) {
        Handle = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        int error = errno;
        struct stat info {};
        // A directory opens read-only on Linux but is no file to read.
        if (Handle >= 0 && (::fstat(Handle, &info) != 0 || S_ISDIR(info.st_mode))) {
            error = S_ISDIR(info.st_mode) ? EISDIR : errno;
            ::close(Handle);
            Handle = -1;
        }
        if (Handle < 0)
            throw EFOpenError(fileName, error);
    } else {
        Handle = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (Handle < 0)
            throw EFCreateError(fileName, errno);
    }
}

TFileStream::~TFileStream()
{
    if (Handle >= 0)
        ::close(Handle);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    auto* out = static_cast<char*>(buffer);
    return TransferAll(count, [&](std::size_t done) { return ::read(Handle, out + done, count - done); });
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count)
{
    const auto* in = static_cast<const char*>(buffer);
    return TransferAll(count, [&](std::size_t done) { return ::write(Handle, in + done, count - done); });
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    const off_t result = ::lseek(Handle, static_cast<off_t>(offset), whence);
    if (result < 0)
        throw EStreamError("Stream seek out of range");
    return static_cast<std::int64_t>(result);
}

void TFileStream::SetSize(std::int64_t newSize)
{
    if (newSize < 0 || ::ftruncate(Handle, static_cast<off_t>(newSize)) != 0)
        throw EWriteError();
}

}  // namespace qrp
