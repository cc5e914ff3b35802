#include "report/qr_stream.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "platform/exceptions.h"
#include "platform/temp_files.h"

namespace qrp {

namespace {
constexpr std::size_t kCopyBufferSize = 10240;
}

TQRStream::TQRStream(std::int32_t memoryLimit)
    : MemoryStore(std::make_unique<TMemoryStream>()), Limit(memoryLimit)
{
}

std::unique_ptr<TQRStream> TQRStream::OpenOnFile(const std::string& fileName)
{
    std::unique_ptr<TQRStream> stream(new TQRStream());
    stream->FileStore = std::make_unique<TFileStream>(fileName, TFileMode::fmOpenReadShared);
    stream->InMemory = false;
    stream->Limit = 0;
    return stream;
}

TQRStream::~TQRStream()
{
    std::lock_guard guard(Lock);
    MemoryStore.reset();
    FileStore.reset();
    if (!TempFileName.empty())
        DeleteFile(TempFileName);
}

TStream& TQRStream::Store()
{
    if (InMemory)
        return *MemoryStore;
    return *FileStore;
}

std::size_t TQRStream::Read(void* buffer, std::size_t count)
{
    std::lock_guard guard(Lock);
    return Store().Read(buffer, count);
}

std::size_t TQRStream::Write(const void* buffer, std::size_t count)
{
    std::lock_guard guard(Lock);
    if (!InMemory)
        return FileStore->Write(buffer, count);
    const std::size_t written = MemoryStore->Write(buffer, count);
    if (MemoryStore->Bytes().size() > static_cast<std::size_t>(std::max<std::int32_t>(Limit, 0)))
        MoveToTempFile();
    return written;
}

void TQRStream::MoveToTempFile()
{
    const std::string name = NewTempFileName();
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(name, TFileMode::fmCreate);
        file->WriteBuffer(MemoryStore->Bytes().data(), MemoryStore->Bytes().size());
        // The file position must stand where the memory position stood.
        file->SetPosition(MemoryStore->Position());
    } catch (...) {
        // The data stays in memory; the half-made file must not outlive the failure.
        file.reset();
        DeleteFile(name);
        throw;
    }
    TempFileName = name;
    FileStore = std::move(file);
    MemoryStore.reset();
    InMemory = false;
}

std::int64_t TQRStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::lock_guard guard(Lock);
    return Store().Seek(offset, origin);
}

void TQRStream::CopyInto(TStream& target)
{
    std::lock_guard guard(Lock);
    SetPosition(0);
    std::array<std::uint8_t, kCopyBufferSize> buffer;
    for (;;) {
        const std::size_t n = Read(buffer.data(), buffer.size());
        if (n == 0)
            break;
        target.WriteBuffer(buffer.data(), n);
    }
}

std::string TQRStream::NewTempFileName() { return CreateUniqueTempFile(GetTempDirectory(), kTempFilePrefix); }

}  // namespace qrp
