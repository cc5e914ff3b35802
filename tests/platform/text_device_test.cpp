// The text device and the word and line assembly: pages played onto it
// (the bundled sample report, the corpus's recorded pages, small metafiles
// built here) and glyphs placed by hand.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include "platform/byte_order.h"
#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/text_device.h"
#include "platform/emf/player/trace_device.h"
#include "report/qr_page_list.h"
#include "tests/support/test_files.h"

namespace qrp::emf {
namespace {

using Bytes = std::vector<std::uint8_t>;

TPageText PageText(const TMetafile& page) { return ExtractText(page.Bytes(), QRectF(0, 0, page.Width(), page.Height())); }

QStringList LineTexts(const TPageText& text)
{
    QStringList lines;
    for (const TTextLine& line : text.Lines)
        lines.push_back(line.Text());
    return lines;
}

const TTextWord* FindWord(const TPageText& text, const QString& word)
{
    for (const TTextLine& line : text.Lines)
        for (const TTextWord& w : line.Words)
            if (w.Text == word)
                return &w;
    return nullptr;
}

const TTextLine* FindLine(const TPageText& text, const QString& start)
{
    for (const TTextLine& line : text.Lines)
        if (line.Text().startsWith(start))
            return &line;
    return nullptr;
}

std::string Show(const TPageText& text) { return text.PlainText().toStdString(); }

// EMR_EXTCREATEFONTINDIRECTW of an Arial font turned by escapement (tenths of a degree).
Bytes TurnedFont(std::int32_t index, std::int32_t height, std::int32_t escapement)
{
    Bytes payload(4 + 92, 0);
    StoreInt32(payload.data(), index);
    StoreInt32(payload.data() + 4, height);
    StoreInt32(payload.data() + 12, escapement);
    const std::u16string face = u"Arial";
    for (std::size_t i = 0; i < face.size(); ++i)
        StoreUInt16(payload.data() + 32 + 2 * i, face[i]);
    return payload;
}

TEST(TextDeviceSample, LinesAreTheRowsTheReportDraws)
{
    TQRPageList list;
    list.AttachFile(QRP_SOURCE_DIR "/examples/sample.qrp");
    ASSERT_EQ(list.PageTotal(), 3);
    const TPageText first = PageText(*list.GetPage(1));
    const QStringList lines = LineTexts(first);
    // The heading, as sample_report.cpp draws it; the address and the print
    // date share a baseline, so they share a line.
    ASSERT_GE(lines.size(), 8) << Show(first);
    EXPECT_EQ(lines[0], QStringLiteral("Novák & syn s.r.o.")) << Show(first);
    EXPECT_EQ(lines[1], QStringLiteral("Vinohradská 1234/56, 120 00 Praha 2 Vytištěno 2. 4. 2024 9:30"));
    EXPECT_EQ(lines[2], QStringLiteral("IČO: 12345678, DIČ: CZ12345678"));
    EXPECT_EQ(lines[3], QStringLiteral("Přehled vydaných faktur"));
    EXPECT_EQ(lines[4], QStringLiteral("Období: 1. 1. 2024 – 31. 3. 2024, všechny částky včetně DPH"));
    EXPECT_EQ(lines[5], QStringLiteral("Číslo Odběratel Datum Částka"));
    EXPECT_EQ(lines[6], QStringLiteral("Leden 2024"));
    // The right-aligned amount stays in its row.
    EXPECT_EQ(lines[7], QStringLiteral("FV-2024-0001 Květinářství Růžička 1. 1. 2024 69 931,00 Kč"));
    EXPECT_EQ(lines.back(), QStringLiteral("Novák & syn s.r.o. · Přehled vydaných faktur Stránka 1 / 3"));

    // Every invoice row of every page holds its number, customer, date and
    // amount, and the rows come in the order the report numbers them.
    const QRegularExpression row(QStringLiteral("^FV-2024-(\\d{4}) \\S.* \\d{1,2}\\. [1-3]\\. 2024 \\d{1,3}( \\d{3})*,\\d\\d Kč$"));
    int expected = 1;
    for (std::int32_t n = 1; n <= list.PageTotal(); ++n) {
        const TPageText page = PageText(*list.GetPage(n));
        for (const QString& line : LineTexts(page)) {
            if (!line.startsWith(QStringLiteral("FV-")))
                continue;
            const auto match = row.match(line);
            ASSERT_TRUE(match.hasMatch()) << line.toStdString();
            EXPECT_EQ(match.captured(1).toInt(), expected++) << line.toStdString();
        }
    }
    EXPECT_EQ(expected, 102) << "101 invoices";
}

class TextDeviceCorpus : public test::CorpusTest {
protected:
    TPageText Page(const char* name)
    {
        TMetafile page;
        page.LoadFromFile((test::CorpusDir() / "gdi-pages" / name).string());
        return PageText(page);
    }
};

TEST_F(TextDeviceCorpus, TableRowsKeepTheirCellsAndClippedNamesAreMarked)
{
    const TPageText invoice = Page("a4-table-invoice.emf");
    const QStringList lines = LineTexts(invoice);
    EXPECT_TRUE(lines.contains(QStringLiteral("Č. Položka Množ. Cena/MJ DPH % Celkem"))) << Show(invoice);
    EXPECT_TRUE(lines.contains(QStringLiteral("3. Šanóny pákové žluté 25 39,50 21 987,50"))) << Show(invoice);
    EXPECT_TRUE(lines.contains(QStringLiteral("Celkem k úhradě: 11646,13 Kč"))) << Show(invoice);
    // The long item name is drawn into its cell with ETO_CLIPPED: its end is
    // hidden, and marked so, but kept.
    const TTextLine* long_ = FindLine(invoice, QStringLiteral("2. Tonerová"));
    ASSERT_NE(long_, nullptr) << Show(invoice);
    EXPECT_EQ(long_->Text(), QStringLiteral("2. Tonerová kazeta černá (velmi dlouhý název, který se ořízne) 2 2450,00 21 4900,00"));
    for (const TTextWord& word : long_->Words)
        EXPECT_EQ(word.Clipped, word.Text == QStringLiteral("ořízne)")) << word.Text.toStdString();
}

TEST_F(TextDeviceCorpus, TurnedTextStaysApartAndTextBeyondThePageIsMarked)
{
    const TPageText turned = Page("a4-rotated-text.emf");
    // The column headers stand upright: each is a line of its own.
    const TTextLine* leden = FindLine(turned, QStringLiteral("Leden"));
    ASSERT_NE(leden, nullptr) << Show(turned);
    EXPECT_EQ(leden->Text(), QStringLiteral("Leden"));
    EXPECT_NEAR(leden->Angle, -90, 0.01);
    EXPECT_GT(leden->Box.height(), leden->Box.width());
    EXPECT_TRUE(LineTexts(turned).contains(QStringLiteral("Praha 0 11 22 33 44 55 66 77 88 99"))) << Show(turned);

    const TPageText fonts = Page("a4-text-fonts-czech.emf");
    const TTextLine* wide = FindLine(fonts, QStringLiteral("Courier New 20 pt:"));
    ASSERT_NE(wide, nullptr) << Show(fonts);
    EXPECT_EQ(wide->Text(), QStringLiteral("Courier New 20 pt: Příliš žluťoučký kůň úpěl ďábelské ódy"));
    EXPECT_FALSE(wide->Words.front().Outside);
    EXPECT_TRUE(wide->Words.back().Outside) << "the line runs past the right edge of the page";
}

TEST(TextDevice, ClippedAndOutsideTextIsMarkedNotDropped)
{
    TEmfWriter writer(300, 100);
    writer.SetBkModeTransparent();
    writer.SelectObject(writer.CreateFont({.Height = -16}));
    writer.SelectClipRect({10, 10, 100, 50});
    writer.TextOut(12, 15, u"Shown");
    writer.TextOut(150, 15, u"Hidden");
    writer.TextOut(70, 30, u"Halfway-across-the-edge");
    writer.ResetClip();
    writer.TextOut(290, 60, u"Overflowing");
    const TPageText text = PageText(TMetafile(writer.Finish()));
    const TTextWord* shown = FindWord(text, QStringLiteral("Shown"));
    const TTextWord* hidden = FindWord(text, QStringLiteral("Hidden"));
    const TTextWord* halfway = FindWord(text, QStringLiteral("Halfway-across-the-edge"));
    const TTextWord* overflowing = FindWord(text, QStringLiteral("Overflowing"));
    ASSERT_TRUE(shown && hidden && halfway && overflowing) << Show(text);
    EXPECT_FALSE(shown->Clipped);
    EXPECT_TRUE(hidden->Clipped);
    EXPECT_TRUE(halfway->Clipped);
    EXPECT_FALSE(overflowing->Clipped) << "drawn after the clip was reset";
    EXPECT_TRUE(overflowing->Outside);
    EXPECT_FALSE(shown->Outside || hidden->Outside);
    // Boxes are the characters' cells: from the reference point (top-aligned)
    // down by the font's height.
    EXPECT_NEAR(shown->Box.left(), 12, 0.01);
    EXPECT_NEAR(shown->Box.top(), 15, 0.01);
    EXPECT_GT(shown->Box.height(), 16);
    EXPECT_LT(shown->Box.height(), 16 * 1.25);
    EXPECT_NEAR(shown->FontSize, 16, 0.01);
}

TEST(TextDevice, GlyphIndexesAreUnknownCharactersThatNoPainterDraws)
{
    TEmfWriter writer(200, 60);
    writer.SetBkModeTransparent();
    const std::int32_t dx[] = {10, 12, 11};
    writer.ExtTextOut(20, 20, ETO_GLYPH_INDEX, {0, 0, -1, -1}, u"\x0024\x0025\x0026", dx, {20, 20, 60, 40});
    writer.TextOut(100, 20, u"known");
    const Bytes bytes = writer.Finish();

    TTextDevice device(QRectF(0, 0, 200, 60));
    PlayEmf(bytes, device, QRectF(0, 0, 200, 60));
    const TPageText text = device.Text();
    const TTextWord* unknown = FindWord(text, QString(3, QChar(0xFFFD)));
    ASSERT_NE(unknown, nullptr) << Show(text);
    EXPECT_TRUE(unknown->Unknown);
    // The first glyphs are as wide as the advances place them; the last one's
    // advance is not known.
    EXPECT_NEAR(unknown->Box.left(), 20, 0.01);
    EXPECT_GT(unknown->Box.width(), 10 + 12);
    ASSERT_NE(FindWord(text, QStringLiteral("known")), nullptr);
    EXPECT_FALSE(FindWord(text, QStringLiteral("known"))->Unknown);

    TTraceDevice trace;
    PlayEmf(bytes, trace, QRectF(0, 0, 200, 60));
    ASSERT_GE(trace.Lines().size(), 2u);
    EXPECT_NE(trace.Lines()[1].find(" glyph indexes"), std::string::npos) << trace.Text();

    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PlayMetafile(painter, TMetafile(bytes), QRectF(0, 0, 200, 60));
    }
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 95; ++x)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << "ink at " << x << "," << y;
}

TEST(TextDevice, TurnedRunsAreLinesOfTheirOwn)
{
    TEmfWriter writer(300, 300);
    writer.SetBkModeTransparent();
    writer.TextOut(20, 150, u"Across the page");
    writer.AddRecord(EMR_EXTCREATEFONTINDIRECTW, TurnedFont(1, -16, 900));
    writer.SelectObject(1);
    writer.TextOut(200, 160, u"Upwards");
    const TPageText text = PageText(TMetafile(writer.Finish()));
    ASSERT_EQ(text.Lines.size(), 2u) << Show(text);
    const TTextLine* upwards = FindLine(text, QStringLiteral("Upwards"));
    ASSERT_NE(upwards, nullptr) << Show(text);
    EXPECT_EQ(upwards->Text(), QStringLiteral("Upwards"));
    EXPECT_NEAR(upwards->Angle, -90, 0.01);
    EXPECT_EQ(FindLine(text, QStringLiteral("Across"))->Text(), QStringLiteral("Across the page"));
}

// Glyphs of one font placed by hand: 10 pixels high, each 6 wide.
TPlacedGlyph Glyph(QChar c, double x, double y, double size = 10)
{
    TPlacedGlyph g;
    g.Text = QString(c);
    g.Origin = QPointF(x, y);
    g.Width = 0.6 * size;
    g.Ascent = 0.9 * size;
    g.Descent = 0.2 * size;
    g.FontSize = size;
    g.Space = c.isSpace();
    return g;
}

void Place(std::vector<TPlacedGlyph>& glyphs, const QString& text, double x, double y, double size = 10)
{
    for (const QChar c : text) {
        glyphs.push_back(Glyph(c, x, y, size));
        x += 0.6 * size;
    }
}

TEST(TextAssembly, WordsLinesAndColumns)
{
    std::vector<TPlacedGlyph> glyphs;
    // Drawn out of order: the amounts first, bottom row first, as a report
    // printer may; the second row's name sits a pixel lower than its amount.
    Place(glyphs, "2 450,00", 200, 41);
    Place(glyphs, "17,50", 218, 20);
    Place(glyphs, "Row one", 10, 20);
    Place(glyphs, "Row two", 10, 42);
    // Two runs meeting without a gap are one word; a gap of a few pixels parts them.
    Place(glyphs, "Foot", 10, 80);
    Place(glyphs, "note", 34, 80);
    Place(glyphs, "apart", 64, 80);
    // Bold made by drawing twice, a pixel apart: the characters once.
    Place(glyphs, "Bold", 100, 80);
    Place(glyphs, "Bold", 100.5, 80);

    const TPageText text = AssembleText(glyphs);
    EXPECT_EQ(text.PlainText(), QStringLiteral("Row one 17,50\nRow two 2 450,00\nFootnote apart Bold"));
    ASSERT_EQ(text.Lines.size(), 3u);
    EXPECT_EQ(text.Lines[0].Words.size(), 3u);
    EXPECT_NEAR(text.Lines[0].Words[2].Box.right(), 218 + 5 * 6, 0.01);

    // Layout text: the amounts' right edges stay under each other, the names
    // at the left margin.
    const QStringList layout = text.LayoutText().split('\n');
    ASSERT_EQ(layout.size(), 3);
    EXPECT_TRUE(layout[0].startsWith(QStringLiteral("Row one ")));
    EXPECT_EQ(layout[0].size(), layout[1].size()) << text.LayoutText().toStdString();
    EXPECT_TRUE(layout[0].endsWith(QStringLiteral(" 17,50")));
    EXPECT_TRUE(layout[1].endsWith(QStringLiteral(" 2 450,00")));
    EXPECT_EQ(layout[2], QStringLiteral("Footnote apart Bold")) << "running text keeps single spaces";
}

TEST(TextAssembly, LayoutStaysBoundedForTextFarOffThePage)
{
    std::vector<TPlacedGlyph> glyphs;
    Place(glyphs, "near", 0, 20);
    Place(glyphs, "far", 1e9, 20);
    const QString layout = AssembleText(glyphs).LayoutText();
    EXPECT_TRUE(layout.startsWith(QStringLiteral("near ")));
    EXPECT_TRUE(layout.endsWith(QStringLiteral("far")));
    EXPECT_LE(layout.size(), 1010);
}

}  // namespace
}  // namespace qrp::emf
