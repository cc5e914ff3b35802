#pragma once
// Whole-file writes that either replace a file completely or leave it as it
// was: the registry store and the files of the desktop association.

#include <QByteArray>
#include <QString>

namespace qrp {

// Writes content as fileName, making its folder when missing. Returns why
// the file could not be written (without its name), or an empty text.
QString WriteFileAtomically(const QString& fileName, const QByteArray& content);

}  // namespace qrp
