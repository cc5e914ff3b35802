#pragma once
// The file the registry accessor keeps its keys in: a JSON object per root key
// that maps each key's path to an object of its values by name, "" naming the
// key's default value:
//
//   { "HKEY_CLASSES_ROOT": { ".qrp": { "": "Tisková sestava QRP" },
//                            "Soubor QRP\\Shell": {}, ... } }
//
// Key paths are compared without regard to letter case and keep the spelling
// they were created with. Whatever the store holds beyond what is written
// through it stays as it is.

#include <optional>

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace qrp {

class TRegistryStore {
public:
    explicit TRegistryStore(QString fileName);

    // $XDG_DATA_HOME/qrpview/registry.json (~/.local/share without it).
    static QString DefaultFileName();
    const QString& FileName() const { return File; }

    // Reads the file again. A missing file is an empty store. A damaged one
    // (no JSON of the shape above, or too large) is reported with a warning
    // naming it and taken as empty; the next Save keeps the damaged file beside
    // the new one as FILE.damaged. A file that exists but cannot be read is
    // reported too, and Save then fails rather than lose the keys it holds.
    void Load();

    // The stored path of the key whose parts are parts, in any letter case.
    std::optional<QString> FindKey(const QString& root, const QStringList& parts) const;
    // FindKey, creating the key and the missing keys on its path first.
    QString CreateKey(const QString& root, const QStringList& parts);
    // Sets a value of an existing key (storedKey as FindKey gives it); a value
    // of that name in another letter case is replaced and keeps its spelling.
    void SetString(const QString& root, const QString& storedKey, const QString& name, const QString& value);

    // Writes the whole store atomically: a failure leaves the file as it was.
    // Returns false with the reason in error when the store cannot be written.
    bool Save(QString& error);

private:
    QJsonObject Root(const QString& root) const;
    void SetRoot(const QString& root, const QJsonObject& keys);
    void KeepDamagedFile();

    QString File;
    QJsonObject Roots;
    bool Damaged = false;
    QString Unreadable;  // why the file could not be read, empty when it could
};

}  // namespace qrp
