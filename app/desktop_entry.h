#pragma once
// The desktop entry qrpview installs for the user: the entry shipped for a
// system-wide installation, which starts "qrpview" from the PATH, made to
// start the running program by its full path instead.

#include <QByteArray>
#include <QString>

namespace qrp {

// The program path as the first word of an Exec key, quoted and escaped as
// the Desktop Entry rules require, so that any path arrives as one word.
QString ExecProgramWord(const QString& programPath);

// The entry with the program word of each Exec key that starts "qrpview"
// replaced by ExecProgramWord(programPath); its arguments stay.
QByteArray PersonalDesktopEntry(const QByteArray& shippedEntry, const QString& programPath);

}  // namespace qrp
