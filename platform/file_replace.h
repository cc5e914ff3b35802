#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/stream.h"

namespace qrp {

class TFileStream;

// Writes fileName through a temporary file beside it that is renamed over it
// once write has returned: a failure leaves an existing file as it was, and a
// file may be rewritten from its own open content. Raises EFCreateError with
// fileName when the file cannot be made; errors of write pass through.
void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write);

// The same in two steps, for a file written now and put in place later (or
// never): Stream() is the temporary file; Commit() closes it and renames it
// over fileName; without Commit the temporary file is deleted.
class TReplacingFile {
public:
    // Raises EFCreateError with fileName when the temporary file cannot be made.
    explicit TReplacingFile(std::string fileName);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    const std::string& FileName() const { return Name; }
    TStream& Stream();
    // Raises EFCreateError with the file's name when it cannot be put in place.
    void Commit();

private:
    std::string Name;
    std::string TempName;
    std::unique_ptr<TFileStream> File;
};

}  // namespace qrp
