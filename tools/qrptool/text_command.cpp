// qrptool text: the words of report pages as plain text, as text that keeps
// the columns of tables, or as JSON lines with every word's box. Pages are
// read on worker threads and written in order.

#include <cmath>
#include <cstdio>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tools/qrptool/command_line.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/ordered_jobs.h"
#include "tools/qrptool/page_jobs.h"
#include "tools/qrptool/page_source.h"
#include "tools/qrptool/page_text.h"

namespace qrptool {

namespace {
void Write(const QByteArray& bytes) { std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout); }

// Millimetres to 0.01 mm, the precision of a page's frame.
double Millimetres(double units) { return std::round(units * kMillimetresPerUnit * 100) / 100; }

QJsonObject WordObject(const qrp::emf::TTextWord& word)
{
    QJsonObject object {
        {"text", word.Text},
        {"box", QJsonArray {Millimetres(word.Box.x()), Millimetres(word.Box.y()), Millimetres(word.Box.width()),
                            Millimetres(word.Box.height())}},
    };
    // Flags only where they hold, so that ordinary words stay short.
    if (word.Clipped)
        object.insert("clipped", true);
    if (word.Outside)
        object.insert("outside", true);
    if (word.Unknown)
        object.insert("unknown", true);
    return object;
}

QByteArray JsonLine(const std::string& fileName, std::int32_t page, const qrp::emf::TPageText& text, bool layout)
{
    QJsonArray words;
    for (const qrp::emf::TTextLine& line : text.Lines)
        for (const qrp::emf::TTextWord& word : line.Words)
            words.append(WordObject(word));
    const QJsonObject object {
        {"file", QString::fromStdString(fileName)},
        {"page", page},
        {"text", layout ? text.LayoutText() : text.PlainText()},
        {"words", words},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray PlainLines(const qrp::emf::TPageText& text, bool layout)
{
    const QString lines = layout ? text.LayoutText() : text.PlainText();
    return lines.isEmpty() ? QByteArray() : lines.toUtf8() + '\n';
}

}  // namespace

int RunText(const CommandLine& line)
{
    if (line.Operands().empty())
        throw UsageError("missing operand");
    const std::string pageList = line.Value("--pages");
    CheckPageList(pageList);
    const bool json = line.Has("--json");
    const bool layout = line.Has("--layout");
    const int workers = WorkerCount(line.Value("-j"));
    EnsureGuiApplication();

    bool firstPage = true;
    const bool failed = WorkOnPagesInOrder(
        line.Operands(), pageList, workers, [&](const PageTask& task, const qrp::TMetafile& page) -> OrderedJobs::Finish {
            const qrp::emf::TPageText text = ReadPageText(page, Warner(task.FileName, task.Page));
            QByteArray bytes = json ? JsonLine(task.FileName, task.Page, text, layout) : PlainLines(text, layout);
            return [bytes = std::move(bytes), json, &firstPage] {
                // A form feed between pages, as page breaks in plain text go.
                if (!json && !firstPage)
                    Write("\f");
                Write(bytes);
                firstPage = false;
            };
        });
    // A write error on standard output is found and said when the command returns.
    return failed ? 1 : 0;
}

}  // namespace qrptool
