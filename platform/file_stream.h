#pragma once
// A stream over an operating-system file.

#include <string>

#include "platform/stream.h"

namespace qrp {

enum class TFileMode {
    fmOpenReadShared,  // existing file, read only; other programs may read and write it meanwhile
    fmCreate,          // created anew (emptied when it exists), read and write
};

class TFileStream : public TStream {
public:
    // Raises EFOpenError or EFCreateError with the file name.
    TFileStream(const std::string& fileName, TFileMode mode);
    ~TFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;

    const std::string& FileName() const { return Name; }

private:
    std::string Name;
    int Handle = -1;
};

}  // namespace qrp
