#pragma once
// The file type registration of report files, the viewer's "Asociace *.QRP":
// the entries of the classes root that name the type, its icon and its open
// command, and the desktop association that makes report files open in the
// program (desktop_association.h).

#include <QString>

namespace qrp {

class TRegistry;

// Writes the four entries in order, each as its key's default value, with
// programPath (unquoted) in the icon reference and the open command. A key
// that cannot be opened is skipped; a value that cannot be written raises
// ERegistryException and leaves the later entries unwritten.
void WriteFileTypeRegistration(TRegistry& registry, const QString& programPath);

// The whole registration for the program at programPath (an absolute path):
// the entries in the user's registry store, then the desktop association.
// Raises the entries' error when one failed, else an Exception listing what
// the desktop association could not do; nothing is said on success.
void RegisterFileType(const QString& programPath);

}  // namespace qrp
