// qrptool grep: the lines of report pages that hold a pattern, as
// "FILE:PAGE: LINE", with grep's options and exit codes: 0 some line matched,
// 1 none did, 2 an error (a file that could not be searched, even when others
// matched; the other files are still searched).

#include <cstdio>
#include <optional>

#include <QRegularExpression>
#include <QString>

#include "tools/qrptool/command_line.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/messages.h"
#include "tools/qrptool/page_source.h"
#include "tools/qrptool/page_text.h"

namespace qrptool {

namespace {
constexpr int kFound = 0, kNotFound = 1, kTrouble = 2;

// A fixed string, or a regular expression (Perl-compatible syntax, which
// covers the extended syntax), either of them with or without case.
class LineMatcher {
public:
    LineMatcher(const std::string& pattern, bool expression, bool ignoreCase)
        : Fixed(QString::fromStdString(pattern)), Case(ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive)
    {
        if (!expression)
            return;
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (ignoreCase)
            options |= QRegularExpression::CaseInsensitiveOption;
        Expression.emplace(Fixed, options);
        if (!Expression->isValid())
            throw UsageError("bad regular expression " + pattern + ": " + Expression->errorString().toStdString());
    }

    bool Matches(const QString& line) const
    {
        return Expression ? Expression->match(line).hasMatch() : line.contains(Fixed, Case);
    }

private:
    QString Fixed;
    Qt::CaseSensitivity Case;
    std::optional<QRegularExpression> Expression;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
}  // namespace

int RunGrep(const CommandLine& line)
{
    if (line.Operands().size() < 2)
        throw UsageError("give a pattern and at least one file");
    const LineMatcher matcher(line.Operands()[0], line.Has("-E"), line.Has("-i"));
    const std::vector<std::string> files(line.Operands().begin() + 1, line.Operands().end());
    const bool namesOnly = line.Has("-l");
    const bool countsOnly = line.Has("-c") && !namesOnly;
    EnsureGuiApplication();

    bool anyMatch = false;
    const bool failed = ForEachSource(files, [&](PageSource& source) {
        std::size_t matches = 0;
        for (std::int32_t n = 1; n <= source.PageCount() && !(namesOnly && matches > 0); ++n) {
            const auto page = source.Page(n);
            for (const qrp::emf::TTextLine& textLine : ReadPageText(*page).Lines) {
                const QString text = textLine.Text();
                if (!matcher.Matches(text))
                    continue;
                ++matches;
                if (namesOnly)
                    break;
                if (!countsOnly)
                    Print(source.FileName() + ":" + std::to_string(n) + ": " + text.toStdString() + "\n");
            }
        }
        anyMatch |= matches > 0;
        if (namesOnly && matches > 0)
            Print(source.FileName() + "\n");
        // Counts name their file when there are several, as grep's do.
        if (countsOnly)
            Print((files.size() > 1 ? source.FileName() + ":" : std::string()) + std::to_string(matches) + "\n");
    });
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Complain("standard output: cannot write");
        return kTrouble;
    }
    return failed ? kTrouble : anyMatch ? kFound : kNotFound;
}

}  // namespace qrptool
