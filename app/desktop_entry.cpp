#include "app/desktop_entry.h"

#include <QList>

namespace qrp {

namespace {
// Characters that make an Exec argument need quotes.
const QString kReservedCharacters = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
// Characters escaped with a backslash inside a quoted argument.
const QString kEscapedInQuotes = QStringLiteral("\"`$\\");

bool NeedsQuotes(const QString& argument)
{
    if (argument.isEmpty())
        return true;
    for (QChar c : argument)
        if (kReservedCharacters.contains(c))
            return true;
    return false;
}

// The escapes of a desktop entry's string values, which are undone before
// the Exec key is split into arguments.
QString EscapedStringValue(const QString& text)
{
    QString escaped;
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}
}  // namespace

QString ExecProgramWord(const QString& programPath)
{
    QString word;
    const bool quoted = NeedsQuotes(programPath);
    if (quoted)
        word += QLatin1Char('"');
    for (QChar c : programPath) {
        if (quoted && kEscapedInQuotes.contains(c))
            word += QLatin1Char('\\');
        word += c;
        // A literal percent sign, not a field code.
        if (c == QLatin1Char('%'))
            word += c;
    }
    if (quoted)
        word += QLatin1Char('"');
    return EscapedStringValue(word);
}

QByteArray PersonalDesktopEntry(const QByteArray& shippedEntry, const QString& programPath)
{
    const QByteArray shippedStart = "Exec=qrpview";
    const QByteArray personalStart = "Exec=" + ExecProgramWord(programPath).toUtf8();
    QList<QByteArray> lines = shippedEntry.split('\n');
    for (QByteArray& line : lines) {
        const bool programWord = line.startsWith(shippedStart)
                                 && (line.size() == shippedStart.size() || line.at(shippedStart.size()) == ' ');
        if (programWord)
            line = personalStart + line.mid(shippedStart.size());
    }
    return lines.join('\n');
}

}  // namespace qrp
