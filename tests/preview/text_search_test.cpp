// Finding words on a page: folding away case and diacritics with the way
// back to the original characters, and hits within a line and across its
// words with the boxes of the characters they cover.

#include <gtest/gtest.h>

#include <QStringList>

#include "preview/page_text_cache.h"
#include "preview/text_search.h"

namespace qrp {
namespace {

emf::TTextWord Word(const QString& text, QRectF box)
{
    emf::TTextWord word;
    word.Text = text;
    word.Box = box;
    return word;
}

// A page of 1000 × 2000 units whose lines are given as words, each word 10
// units per character wide, the words of a line 10 units apart, the lines 30
// units apart.
TPageTextEntry Page(const std::vector<QStringList>& lines)
{
    TPageTextEntry page;
    page.Extent = QSizeF(1000, 2000);
    double y = 100;
    for (const QStringList& words : lines) {
        emf::TTextLine line;
        double x = 50;
        for (const QString& text : words) {
            const double width = 10.0 * static_cast<double>(text.size());
            line.Words.push_back(Word(text, QRectF(x, y, width, 20)));
            x += width + 10;
        }
        page.Text.Lines.push_back(std::move(line));
        y += 30;
    }
    return page;
}

QRectF Fraction(QRectF units) { return {units.x() / 1000, units.y() / 2000, units.width() / 1000, units.height() / 2000}; }

void ExpectNear(const QRectF& actual, const QRectF& expected)
{
    EXPECT_NEAR(actual.left(), expected.left(), 1e-9);
    EXPECT_NEAR(actual.top(), expected.top(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

TEST(TextFolding, CaseAndDiacriticsFoldAwayEachCharacterKeepingItsOrigin)
{
    const QString text = QStringLiteral("Černý ŽLUŤOUČKÝ kůň");
    const TFoldedText folded = FoldForSearch(text);
    EXPECT_EQ(folded.Text, QStringLiteral("cerny zlutoucky kun"));
    ASSERT_EQ(folded.Source.size(), static_cast<std::size_t>(folded.Text.size()));
    for (std::size_t i = 0; i < folded.Source.size(); ++i)
        EXPECT_EQ(folded.Source[i], static_cast<qsizetype>(i)) << "one character for one here";

    // Already decomposed text: the marks go, the letters keep their own places.
    const QString decomposed = QStringLiteral("C\u030Cerny\u0301");
    const TFoldedText plain = FoldForSearch(decomposed);
    EXPECT_EQ(plain.Text, QStringLiteral("cerny"));
    EXPECT_EQ(plain.Source, (std::vector<qsizetype> {0, 2, 3, 4, 5}));

    // A character decomposing into three letters (a Hangul syllable into its
    // jamo), and one of two UTF-16 units: every folded unit leads back to it.
    const TFoldedText expanded = FoldForSearch(QStringLiteral("A\uD55CB \U0001D400x"));
    EXPECT_EQ(expanded.Text, QStringLiteral("a\u1112\u1161\u11ABb \U0001D400x"));
    EXPECT_EQ(expanded.Source, (std::vector<qsizetype> {0, 1, 1, 1, 2, 3, 4, 4, 6}));

    EXPECT_EQ(FoldedQuery(QStringLiteral("  Lékárna \t U\n ANDĚLA ")), QStringLiteral("lekarna u andela"));
    EXPECT_TRUE(FoldedQuery(QStringLiteral(" \t ")).isEmpty());
}

TEST(TextFinding, HitsInALineRunAcrossWordsAndCoverTheirCharacters)
{
    const TPageTextEntry page = Page({{"Květinářství", "Růžička"},
                                      {"Lékárna", "U", "Anděla"},
                                      {"Řeznictví", "Kučera", "a", "RŮŽIČKA"}});
    const std::vector<TTextHit> names = FindOnPage(page, 7, FoldedQuery(QStringLiteral("ruzicka")));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].Page, 7);
    EXPECT_EQ(names[0].Line, 0);
    EXPECT_EQ(names[1].Line, 2);
    ASSERT_EQ(names[1].Boxes.size(), 1u);
    ExpectNear(names[1].Boxes[0], Fraction(page.Text.Lines[2].Words[3].Box));

    // "árna U And": the last four characters of the first word, the second whole, three of the third.
    const std::vector<TTextHit> across = FindOnPage(page, 1, FoldedQuery(QStringLiteral("ARNA u and")));
    ASSERT_EQ(across.size(), 1u);
    ASSERT_EQ(across[0].Boxes.size(), 3u);
    const auto& words = page.Text.Lines[1].Words;
    ExpectNear(across[0].Boxes[0], Fraction(QRectF(words[0].Box.left() + 30, words[0].Box.top(), 40, 20)));
    ExpectNear(across[0].Boxes[1], Fraction(words[1].Box));
    ExpectNear(across[0].Boxes[2], Fraction(QRectF(words[2].Box.left(), words[2].Box.top(), 30, 20)));

    // Each hit starts after the one before; a query never runs from one line into the next.
    EXPECT_EQ(FindOnPage(Page({{"aaaaa"}}), 1, QStringLiteral("aa")).size(), 2u);
    EXPECT_TRUE(FindOnPage(page, 1, FoldedQuery(QStringLiteral("růžička lékárna"))).empty());
    EXPECT_TRUE(FindOnPage(page, 1, QString()).empty());
}

TEST(TextFinding, TurnedWordsShareTheirBoxAlongTheirOwnDirection)
{
    const emf::TTextWord word = Word(QStringLiteral("abcd"), QRectF(10, 20, 8, 40));
    const QRectF down = CharactersBox(word, 90, 1, 2);  // clockwise: top to bottom
    EXPECT_EQ(down, QRectF(10, 30, 8, 10));
    const QRectF up = CharactersBox(word, -90, 1, 2);  // anticlockwise: bottom to top
    EXPECT_EQ(up, QRectF(10, 40, 8, 10));
    const emf::TTextWord across = Word(QStringLiteral("abcd"), QRectF(10, 20, 40, 8));
    EXPECT_EQ(CharactersBox(across, 180, 0, 1), QRectF(40, 20, 10, 8)) << "upside down: from the right";
    EXPECT_EQ(CharactersBox(across, 30, 1, 2), across.Box) << "askew: no axis to share along";
    EXPECT_EQ(CharactersBox(across, 0, -5, 99), across.Box);
}

}  // namespace
}  // namespace qrp
