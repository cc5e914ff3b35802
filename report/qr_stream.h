#pragma once
// The byte store behind one report document. A document being produced starts
// in memory and moves, once and for good, to a temporary file when it grows
// past its memory limit; a report file opened for viewing is used in place,
// read only.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/critical_section.h"
#include "platform/file_stream.h"
#include "platform/memory_stream.h"

namespace qrp {

class TQRStream : public TStream {
public:
    static constexpr std::int32_t kDefaultSpillLimit = 100000;
    static constexpr const char* kTempFilePrefix = "QRP";

    // An empty in-memory stream that moves to a temporary file once its size exceeds memoryLimit.
    explicit TQRStream(std::int32_t memoryLimit);
    // Opens an existing file read only; raises EFOpenError with the name.
    static std::unique_ptr<TQRStream> OpenOnFile(const std::string& fileName);
    // Closes the store; deletes the temporary file, never an opened report file.
    ~TQRStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

    void EnterStreamLock() { Lock.Enter(); }
    void LeaveStreamLock() { Lock.Leave(); }

    // Copies the whole content into target from its first byte, under the lock;
    // the position ends at the end. Raises EWriteError when target takes less.
    void CopyInto(TStream& target);

    // A new unique temporary file name, "QRP…" in the temporary directory; the
    // file exists, empty, once the name is handed out.
    static std::string NewTempFileName();

    bool MemoryBacked() const { return InMemory; }
    const std::string& TempName() const { return TempFileName; }
    std::int32_t SpillLimit() const { return Limit; }

private:
    TQRStream() = default;
    void MoveToTempFile();
    TStream& Store();

    TCriticalSection Lock;
    std::unique_ptr<TMemoryStream> MemoryStore;
    std::string TempFileName;
    std::unique_ptr<TFileStream> FileStore;
    bool InMemory = true;
    std::int32_t Limit = 0;
};

}  // namespace qrp
