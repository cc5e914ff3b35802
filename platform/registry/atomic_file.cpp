#include "platform/registry/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace qrp {

QString WriteFileAtomically(const QString& fileName, const QByteArray& content)
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return QStringLiteral("its folder cannot be made");
    QSaveFile file(fileName);
    // Unbuffered: a buffered save file commits what a failing last flush left
    // (a file cut short on a full disk); written directly, the shortfall shows
    // in the count and the file is not committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (const qint64 written = file.write(content); written != content.size())
        return written < 0 ? file.errorString()
                           : QStringLiteral("only %1 of its %2 bytes could be written").arg(written).arg(content.size());
    if (!file.commit())
        return file.errorString();
    return {};
}

}  // namespace qrp
