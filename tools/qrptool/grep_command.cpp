// qrptool grep: the lines of report pages that hold a pattern, as
// "FILE:PAGE: LINE", with grep's options and exit codes: 0 some line matched,
// 1 none did, 2 an error (a file that could not be searched, even when others
// matched; the other files are still searched).

#include <cstdio>
#include <optional>
#include <vector>

#include <QRegularExpression>
#include <QString>

#include "preview/text_search.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/messages.h"
#include "tools/qrptool/ordered_jobs.h"
#include "tools/qrptool/page_jobs.h"
#include "tools/qrptool/page_text.h"

namespace qrptool {

namespace {
constexpr int kFound = 0, kNotFound = 1, kTrouble = 2;

// Text without its diacritics ("Růžička" as "Ruzicka"), case kept: what a
// regular expression is matched against when diacritics are ignored.
QString WithoutDiacritics(const QString& text)
{
    QString plain;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    return plain;
}

// A fixed string, or a regular expression (Perl-compatible syntax, which
// covers the extended syntax), either of them with or without case. Without
// diacritics, a fixed string matches as the viewer's find matches (case and
// diacritics ignored, runs of blanks as one space); an expression is matched
// against the line without diacritics, written without them itself.
class LineMatcher {
public:
    LineMatcher(const std::string& pattern, bool expression, bool ignoreCase, bool ignoreDiacritics)
        : Fixed(QString::fromStdString(pattern)), Case(ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive),
          Plain(ignoreDiacritics)
    {
        if (!expression) {
            if (Plain)
                Fixed = qrp::FoldedQuery(Fixed);
            return;
        }
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (ignoreCase)
            options |= QRegularExpression::CaseInsensitiveOption;
        Expression.emplace(Plain ? WithoutDiacritics(Fixed) : Fixed, options);
        if (!Expression->isValid())
            throw UsageError("bad regular expression " + pattern + ": " + Expression->errorString().toStdString());
    }

    bool Matches(const QString& line) const
    {
        if (Expression)
            return Expression->match(Plain ? WithoutDiacritics(line) : line).hasMatch();
        if (Plain)
            return !Fixed.isEmpty() && qrp::FoldForSearch(line).Text.contains(Fixed);
        return line.contains(Fixed, Case);
    }

private:
    QString Fixed;
    Qt::CaseSensitivity Case;
    bool Plain;
    std::optional<QRegularExpression> Expression;
};

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
}  // namespace

int RunGrep(const CommandLine& line)
{
    if (line.Operands().size() < 2)
        throw UsageError("give a pattern and at least one file");
    const LineMatcher matcher(line.Operands()[0], line.Has("-E"), line.Has("-i"), line.Has("--ignore-diacritics"));
    const std::vector<std::string> files(line.Operands().begin() + 1, line.Operands().end());
    const bool namesOnly = line.Has("-l");
    const bool countsOnly = line.Has("-c") && !namesOnly;
    EnsureGuiApplication();

    bool anyMatch = false;
    std::vector<std::size_t> matches(files.size(), 0);
    const auto work = [&](const PageTask& task, const qrp::TMetafile& page) -> OrderedJobs::Finish {
        std::vector<std::string> found;
        for (const qrp::emf::TTextLine& textLine : ReadPageText(page).Lines) {
            const QString text = textLine.Text();
            if (matcher.Matches(text))
                found.push_back(text.toStdString());
        }
        return [&, task, found = std::move(found)] {
            if (!namesOnly && !countsOnly)
                for (const std::string& text : found)
                    Print(task.FileName + ":" + std::to_string(task.Page) + ": " + text + "\n");
            matches[task.FileIndex] += found.size();
        };
    };
    const auto afterFile = [&](std::size_t index) {
        anyMatch |= matches[index] > 0;
        if (namesOnly && matches[index] > 0)
            Print(files[index] + "\n");
        // Counts name their file when there are several, as grep's do.
        if (countsOnly)
            Print((files.size() > 1 ? files[index] + ":" : std::string()) + std::to_string(matches[index]) + "\n");
    };
    // Names only: a file is settled by its first matching line, as grep stops reading there.
    const auto settled = [&](std::size_t index) { return namesOnly && matches[index] > 0; };
    // A write error on standard output is found and said when the command returns.
    const bool failed = WorkOnPagesInOrder(files, {}, WorkerCount(line.Value("-j")), work, afterFile, settled);
    return failed ? kTrouble : anyMatch ? kFound : kNotFound;
}

}  // namespace qrptool
