#pragma once
// The registry accessor: a root key, one open key at a time, string values
// written to it. The keys live in the user's registry store (registry_store.h),
// which each write saves at once.

#include <QString>

#include "platform/exceptions.h"
#include "platform/registry/registry_store.h"

namespace qrp {

enum class TRegistryRoot { HKEY_CLASSES_ROOT };

// A value that cannot be written: "Failed to set data for '<name>'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    // Over the user's store.
    TRegistry();
    explicit TRegistry(const QString& storeFile);

    TRegistryRoot RootKey() const { return Root; }
    // Closes the open key.
    void SetRootKey(TRegistryRoot root);

    // Opens the key at path (parts separated by "\", taken from the root key),
    // reading the store afresh. With canCreate the key and the missing keys on
    // its path are created; they are stored with the first value written.
    // False when the key does not exist and canCreate is false, or when path
    // is no key name: empty, with an empty part or a part over 255 characters.
    bool OpenKey(const QString& path, bool canCreate);
    // Sets the named value of the open key ("" is the default value) and saves
    // the store. Raises ERegistryException when no key is open or the store
    // cannot be written; the reason goes to the warnings, naming the file.
    void WriteString(const QString& name, const QString& value);
    void CloseKey();

    // The open key's path as stored, empty when none is open.
    const QString& CurrentPath() const { return OpenPath; }

private:
    TRegistryStore Store;
    TRegistryRoot Root = TRegistryRoot::HKEY_CLASSES_ROOT;
    QString OpenPath;
};

}  // namespace qrp
