#pragma once
// The temporary directory and unique temporary files.

#include <string>

namespace qrp {

// The directory for temporary files ($TMPDIR, else /tmp), ending with a '/'.
std::string GetTempDirectory();

// Creates a new, empty file with a unique name that begins with prefix in
// directory and returns its path. Creating it as the name is handed out means
// no two callers get the same file. Raises EFCreateError when it cannot.
std::string CreateUniqueTempFile(const std::string& directory, const std::string& prefix);

// Removes a file; false when it could not be removed.
bool DeleteFile(const std::string& fileName);

bool FileExists(const std::string& fileName);

}  // namespace qrp
