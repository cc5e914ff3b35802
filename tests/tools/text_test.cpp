// qrptool text and qrptool grep: the words of report files and single
// recordings from the command line, run as the real program.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "platform/emf/emf_writer.h"
#include "tests/support/test_files.h"
#include "tests/tools/tool_runner.h"

namespace qrp {
namespace {

using test::Bytes;
using test::ToolResult;

const std::string kSample = QRP_SOURCE_DIR "/examples/sample.qrp";
const std::string kFirstRow = "FV-2024-0001 Květinářství Růžička 1. 1. 2024 69 931,00 Kč";

class TextTool : public test::ToolRunner {
protected:
    // A 200 × 100 pixel page: a clipped cell and a line of text.
    std::string WriteClippedPage()
    {
        emf::TEmfWriter writer(200, 100);
        writer.SetBkModeTransparent();
        writer.SelectObject(writer.CreateFont({.Height = -16}));
        writer.SelectClipRect({10, 10, 60, 40});
        writer.TextOut(12, 15, u"Cell");
        writer.TextOut(120, 15, u"Gone");
        writer.ResetClip();
        writer.TextOut(12, 60, u"Řádek dole");
        const std::string name = Dir.File("clipped.emf");
        test::WriteWholeFile(name, writer.Finish());
        return name;
    }

    std::string WriteDamaged()
    {
        Bytes bytes = test::ReadWholeFile(kSample);
        bytes.resize(bytes.size() / 2);
        test::WriteWholeFile(Dir.File("damaged.qrp"), bytes);
        return Dir.File("damaged.qrp");
    }
};

TEST_F(TextTool, PlainTextHasTheRowsAndAFormFeedBetweenPages)
{
    const ToolResult all = Run({"text", kSample});
    ASSERT_EQ(all.ExitCode, 0) << all.Err;
    EXPECT_TRUE(all.Err.empty()) << all.Err;
    const QStringList pages = QString::fromStdString(all.Out).split('\f');
    ASSERT_EQ(pages.size(), 3) << "three pages, two form feeds";
    EXPECT_TRUE(pages[0].split('\n').contains(QString::fromStdString(kFirstRow))) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].startsWith(QStringLiteral("Přehled vydaných faktur – pokračování")));
    for (const QString& page : pages)
        EXPECT_TRUE(page.endsWith('\n'));

    // Pages chosen, in the order given.
    const ToolResult chosen = Run({"text", "--pages", "3,1", kSample});
    ASSERT_EQ(chosen.ExitCode, 0) << chosen.Err;
    const QStringList chosenPages = QString::fromStdString(chosen.Out).split('\f');
    ASSERT_EQ(chosenPages.size(), 2);
    EXPECT_TRUE(chosenPages[0].contains(QStringLiteral("Stránka 3 / 3")));
    EXPECT_TRUE(chosenPages[1].contains(QStringLiteral("Stránka 1 / 3")));

    // Several files: page breaks run on across them; clipped text is kept.
    const ToolResult several = Run({"text", WriteClippedPage(), kSample});
    ASSERT_EQ(several.ExitCode, 0) << several.Err;
    const QStringList severalPages = QString::fromStdString(several.Out).split('\f');
    ASSERT_EQ(severalPages.size(), 4);
    EXPECT_EQ(severalPages[0], QStringLiteral("Cell Gone\nŘádek dole\n"));
    EXPECT_EQ(severalPages[1], pages[0]);
}

TEST_F(TextTool, LayoutKeepsTheTableColumns)
{
    const ToolResult layout = Run({"text", "--layout", "--pages", "1", kSample});
    ASSERT_EQ(layout.ExitCode, 0) << layout.Err;
    const QStringList lines = QString::fromStdString(layout.Out).split('\n');
    QStringList rows;
    for (const QString& line : lines)
        if (line.trimmed().startsWith(QStringLiteral("FV-2024-")))
            rows.push_back(line);
    ASSERT_GT(rows.size(), 20) << layout.Out;
    // Dates start in one column, the amounts end in one, whatever the length
    // of the customer's name.
    const QRegularExpression date(QStringLiteral(" \\d{1,2}\\. \\d\\. 2024"));
    const qsizetype firstDate = rows.front().indexOf(date);
    ASSERT_GT(firstDate, 0);
    for (const QString& row : rows) {
        EXPECT_TRUE(row.endsWith(QStringLiteral(" Kč"))) << row.toStdString();
        EXPECT_LE(std::abs(row.indexOf(date) - firstDate), 1) << row.toStdString();
        EXPECT_LE(std::abs(row.size() - rows.front().size()), 1) << row.toStdString();
    }
    EXPECT_EQ(rows.front().simplified(), QString::fromStdString(kFirstRow));
}

TEST_F(TextTool, JsonLinesGiveEveryWordItsBoxInMillimetres)
{
    const ToolResult json = Run({"text", "--json", kSample, WriteClippedPage()});
    ASSERT_EQ(json.ExitCode, 0) << json.Err;
    QStringList lines = QString::fromStdString(json.Out).split('\n');
    ASSERT_EQ(lines.takeLast(), QString()) << "every object ends its line";
    ASSERT_EQ(lines.size(), 4);
    std::vector<QJsonObject> pages;
    for (const QString& line : lines) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        pages.push_back(document.object());
    }
    EXPECT_EQ(pages[0]["file"].toString().toStdString(), kSample);
    EXPECT_EQ(pages[2]["page"].toInt(), 3);
    EXPECT_TRUE(pages[0]["text"].toString().split('\n').contains(QString::fromStdString(kFirstRow)));

    // Words lie on the A4 page; the invoice number starts the row its amount ends.
    const QJsonArray words = pages[0]["words"].toArray();
    QJsonObject number, currency;
    for (const QJsonValue& value : words) {
        const QJsonObject word = value.toObject();
        const QJsonArray box = word["box"].toArray();
        ASSERT_EQ(box.size(), 4);
        EXPECT_GE(box[0].toDouble(), 0);
        EXPECT_LE(box[0].toDouble() + box[2].toDouble(), 210.01) << word["text"].toString().toStdString();
        EXPECT_LE(box[1].toDouble() + box[3].toDouble(), 297.01);
        EXPECT_FALSE(word.contains("clipped"));
        if (word["text"] == QStringLiteral("FV-2024-0001"))
            number = word;
        if (number.isEmpty() == false && currency.isEmpty() && word["text"] == QStringLiteral("Kč"))
            currency = word;
    }
    ASSERT_FALSE(number.isEmpty());
    ASSERT_FALSE(currency.isEmpty());
    EXPECT_NEAR(number["box"][1].toDouble(), currency["box"][1].toDouble(), 0.3);
    EXPECT_GT(currency["box"][0].toDouble(), 150);

    // The single recording (200 × 100 pixels at 96 per inch): the clipped word is marked.
    const QJsonObject clipped = pages[3];
    EXPECT_EQ(clipped["page"].toInt(), 1);
    const QJsonArray clippedWords = clipped["words"].toArray();
    ASSERT_EQ(clippedWords.size(), 4) << clipped["text"].toString().toStdString();
    EXPECT_EQ(clippedWords[0]["text"].toString(), QStringLiteral("Cell"));
    EXPECT_FALSE(clippedWords[0].toObject().contains("clipped"));
    EXPECT_EQ(clippedWords[1]["text"].toString(), QStringLiteral("Gone"));
    EXPECT_TRUE(clippedWords[1]["clipped"].toBool());
    EXPECT_NEAR(clippedWords[0]["box"][0].toDouble(), 12 * 25.4 / 96, 0.01);
    EXPECT_NEAR(clippedWords[1]["box"][0].toDouble(), 120 * 25.4 / 96, 0.01);
}

TEST_F(TextTool, BadFilesAndArguments)
{
    const std::string damaged = WriteDamaged();
    const ToolResult mixed = Run({"text", damaged, kSample});
    EXPECT_EQ(mixed.ExitCode, 1);
    EXPECT_EQ(mixed.Err.rfind("qrptool text: " + damaged + ": ", 0), 0u) << mixed.Err;
    EXPECT_NE(mixed.Out.find(kFirstRow), std::string::npos) << "the sound file still comes out";

    const ToolResult shortFile = Run({"text", "--pages", "2", WriteClippedPage(), kSample});
    EXPECT_EQ(shortFile.ExitCode, 1);
    EXPECT_NE(shortFile.Err.find("lie outside 1-1"), std::string::npos) << shortFile.Err;
    EXPECT_NE(shortFile.Out.find("pokračování"), std::string::npos);

    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"text"}, {"text", "--pages", "x", kSample}, {"text", "--pages", "3-1", kSample},
             {"text", "--pages", "0", kSample}, {"text", "--bogus", kSample}}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments.back();
        EXPECT_NE(result.Err.find("usage: qrptool text "), std::string::npos) << result.Err;
        EXPECT_TRUE(result.Out.empty());
    }
}

class GrepTool : public TextTool {};

TEST_F(GrepTool, MatchingLinesWithTheirFileAndPage)
{
    const ToolResult found = Run({"grep", "Kavárna Na", kSample});
    ASSERT_EQ(found.ExitCode, 0) << found.Err;
    const QStringList lines = QString::fromStdString(found.Out).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith(QString::fromStdString(kSample + ":"))) << line.toStdString();
        EXPECT_TRUE(line.contains(QStringLiteral(": FV-2024-"))) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains(QString::fromStdString(kSample + ":1: FV-2024-0007 Kavárna Na Nábřeží 6. 1. 2024 57 552,50 Kč")));
    EXPECT_TRUE(lines.last().startsWith(QString::fromStdString(kSample + ":3: ")));

    // Fixed strings are taken literally and with their case; -i folds case,
    // Czech letters too.
    EXPECT_EQ(Run({"grep", "kavárna na", kSample}).ExitCode, 1);
    const ToolResult folded = Run({"grep", "-i", "KAVÁRNA NA", kSample});
    EXPECT_EQ(folded.ExitCode, 0);
    EXPECT_EQ(folded.Out, found.Out);
    EXPECT_EQ(Run({"grep", "FV-2024-00.1", kSample}).ExitCode, 1) << "a dot is a dot";

    // -E: a regular expression, here the grand total's row.
    const ToolResult expression = Run({"grep", "-E", "^Celkem za 1\\. čtvrtletí 2024 [0-9 ]+,[0-9]{2} Kč$", kSample});
    ASSERT_EQ(expression.ExitCode, 0) << expression.Err;
    EXPECT_EQ(QString::fromStdString(expression.Out).count('\n'), 1) << expression.Out;
    EXPECT_EQ(expression.Out.rfind(kSample + ":3: Celkem za 1. čtvrtletí 2024 ", 0), 0u) << expression.Out;

    // --ignore-diacritics matches as the viewer's find does: without case or
    // diacritics, runs of blanks as one; -i alone keeps the diacritics.
    const ToolResult plain = Run({"grep", "--ignore-diacritics", "kavarna  NA", kSample});
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
    EXPECT_EQ(plain.Out, found.Out);
    EXPECT_EQ(Run({"grep", "-i", "kavarna na", kSample}).ExitCode, 1);
    const ToolResult plainExpression = Run({"grep", "--ignore-diacritics", "-E", "^Celkem za 1\\. ctvrtleti 2024", kSample});
    ASSERT_EQ(plainExpression.ExitCode, 0) << plainExpression.Err;
    EXPECT_EQ(plainExpression.Out, expression.Out) << "the line is printed as it stands";
}

TEST_F(GrepTool, NamesCountsAndExitCodes)
{
    const std::string single = WriteClippedPage();
    // -c counts matching lines per file, naming the file when there are several.
    const ToolResult counts = Run({"grep", "-c", "FV-2024-", kSample, single});
    ASSERT_EQ(counts.ExitCode, 0) << counts.Err;
    EXPECT_EQ(counts.Out, kSample + ":101\n" + single + ":0\n");
    EXPECT_EQ(Run({"grep", "-c", "Řádek", single}).Out, "1\n");

    // -l names each file with a match once.
    const ToolResult names = Run({"grep", "-l", "-i", "ŘÁDEK", single, kSample});
    EXPECT_EQ(names.ExitCode, 0);
    EXPECT_EQ(names.Out, single + "\n");
    EXPECT_EQ(Run({"grep", "-l", "Stránka", kSample, kSample}).Out, kSample + "\n" + kSample + "\n");

    const ToolResult none = Run({"grep", "Nothing like this", kSample, single});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_TRUE(none.Out.empty() && none.Err.empty()) << none.Err;

    // A damaged file among sound ones: reported, the others still searched, exit 2.
    const std::string damaged = WriteDamaged();
    const ToolResult mixed = Run({"grep", "Kavárna", damaged, kSample});
    EXPECT_EQ(mixed.ExitCode, 2);
    EXPECT_EQ(mixed.Err.rfind("qrptool grep: " + damaged + ": ", 0), 0u) << mixed.Err;
    EXPECT_NE(mixed.Out.find(kSample + ":1: FV-2024-0007 Kavárna"), std::string::npos) << mixed.Out;
    EXPECT_EQ(Run({"grep", "Nothing like this", kSample, Dir.File("missing.qrp")}).ExitCode, 2);

    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> {
             {"grep", "Kč"}, {"grep"}, {"grep", "-E", "(unclosed", kSample}, {"grep", "-x", "Kč", kSample}}) {
        const ToolResult result = Run(arguments);
        EXPECT_EQ(result.ExitCode, 2) << arguments.back();
        EXPECT_NE(result.Err.find("usage: qrptool grep "), std::string::npos) << result.Err;
    }
}

}  // namespace
}  // namespace qrp
