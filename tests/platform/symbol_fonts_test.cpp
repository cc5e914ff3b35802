#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include <QList>
#include <QString>

#include "platform/text/symbol_fonts.h"

namespace qrp {
namespace {

constexpr std::array kAllFaces = {TSymbolFace::Symbol, TSymbolFace::Wingdings, TSymbolFace::Wingdings2,
                                  TSymbolFace::Wingdings3, TSymbolFace::Webdings};

// The characters one code of face shows, as code points.
std::vector<char32_t> Shown(TSymbolFace face, char16_t code)
{
    const QList<uint> ucs4 = DecodeSymbolText(face, std::u16string(1, code)).Text.toUcs4();
    return {ucs4.begin(), ucs4.end()};
}

// The one character code shows; fails the test when it is not exactly one.
char32_t ShownOne(TSymbolFace face, char16_t code)
{
    const std::vector<char32_t> shown = Shown(face, code);
    EXPECT_EQ(shown.size(), 1u) << "code " << std::hex << unsigned(code);
    return shown.empty() ? 0 : shown.front();
}

QString Decoded(TSymbolFace face, std::u16string_view codes)
{
    return DecodeSymbolText(face, codes).Text;
}

// Signs a reader takes for the same mark, whichever of them a table picked.
const std::set<char32_t> kCheckMarks = {0x2713, 0x2714, 0x1F5F8};
const std::set<char32_t> kBallotCrosses = {0x2717, 0x2718, 0x1F5F4, 0x1F5F6};
const std::set<char32_t> kCheckedBoxes = {0x2611, 0x1F5F9};
const std::set<char32_t> kCrossedBoxes = {0x2612, 0x2327, 0x2BBD, 0x1F5F5, 0x1F5F7};
const std::set<char32_t> kEmptyBoxes = {0x2610, 0x25A1, 0x25FB, 0x1F78E, 0x1F78F, 0x1F790, 0x1F791};
const std::set<char32_t> kShadowedBoxes = {0x274F, 0x2750, 0x2751, 0x2752};
const std::set<char32_t> kBlackCircles = {0x25CF, 0x26AB, 0x2B24};
const std::set<char32_t> kWhiteCircles = {0x25CB, 0x26AA};
const std::set<char32_t> kBlackSquares = {0x25A0, 0x25FC, 0x2B1B};
const std::set<char32_t> kSmallBlackSquares = {0x25AA, 0x25FE, 0x2B1D};
const std::set<char32_t> kBullets = {0x2022, 0x2219};

TEST(SymbolFonts, RecognisesTheFaceNames)
{
    EXPECT_EQ(SymbolFaceOf("Symbol"), TSymbolFace::Symbol);
    EXPECT_EQ(SymbolFaceOf("SYMBOL"), TSymbolFace::Symbol);
    EXPECT_EQ(SymbolFaceOf("wingdings"), TSymbolFace::Wingdings);
    EXPECT_EQ(SymbolFaceOf("  Wingdings\t"), TSymbolFace::Wingdings);
    EXPECT_EQ(SymbolFaceOf("Wingdings 2"), TSymbolFace::Wingdings2);
    EXPECT_EQ(SymbolFaceOf(" WINGDINGS  2 "), TSymbolFace::Wingdings2);
    EXPECT_EQ(SymbolFaceOf("Wingdings 3"), TSymbolFace::Wingdings3);
    EXPECT_EQ(SymbolFaceOf("webdings"), TSymbolFace::Webdings);

    // Near misses are ordinary text faces, not a symbol face they resemble.
    EXPECT_EQ(SymbolFaceOf("Wingdings 4"), std::nullopt);
    EXPECT_EQ(SymbolFaceOf("Wingdings 23"), std::nullopt);
    EXPECT_EQ(SymbolFaceOf("Symbols"), std::nullopt);
    EXPECT_EQ(SymbolFaceOf("Segoe UI Symbol"), std::nullopt);
    EXPECT_EQ(SymbolFaceOf("Arial"), std::nullopt);
    EXPECT_EQ(SymbolFaceOf(""), std::nullopt);
}

TEST(SymbolFonts, BothFormsOfACodeShowTheSameSign)
{
    for (const TSymbolFace face : kAllFaces) {
        for (char16_t code = 0x20; code <= 0xFF; ++code) {
            const char16_t privateUse = 0xF000 + code;
            EXPECT_EQ(SymbolCharacter(face, code), SymbolCharacter(face, privateUse));
            if (SymbolCharacter(face, code) != 0 || code == 0x20) {
                EXPECT_EQ(Shown(face, code), Shown(face, privateUse)) << "code " << std::hex << unsigned(code);
            }
        }
    }
}

TEST(SymbolFonts, SignsAreStandardCharactersNotPrivateUse)
{
    for (const TSymbolFace face : kAllFaces) {
        int mapped = 0;
        for (char16_t code = 0x21; code <= 0xFF; ++code) {
            const char32_t c = SymbolCharacter(face, code);
            if (c == 0)
                continue;
            ++mapped;
            EXPECT_FALSE(c >= 0xE000 && c <= 0xF8FF) << "code " << std::hex << unsigned(code);
            EXPECT_FALSE(c >= 0xF0000) << "code " << std::hex << unsigned(code);
            EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << "code " << std::hex << unsigned(code);
        }
        // Every face fills nearly all of its codes; a lost row would show here.
        EXPECT_GT(mapped, 180);
    }
}

TEST(SymbolFonts, SymbolShowsGreekAndMathematics)
{
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"ABGDEZHQIKLMNXOPRSTUFCYW"), QString::fromUtf8("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"abgdezhqiklmnxoprstufcyw"), QString::fromUtf8("αβγδεζηθικλμνξοπρστυφχψω"));
    EXPECT_EQ(ShownOne(TSymbolFace::Symbol, u'a'), U'α');
    EXPECT_EQ(ShownOne(TSymbolFace::Symbol, u'p'), U'π');
    EXPECT_EQ(ShownOne(TSymbolFace::Symbol, 0xF070), U'π');
    EXPECT_EQ(ShownOne(TSymbolFace::Symbol, 0xB7), U'•');
    EXPECT_EQ(ShownOne(TSymbolFace::Symbol, 0xF0B7), U'•');
    // Digits and most punctuation are themselves; a few ASCII places hold operators.
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"(12+3)/4=5.6,7;8<9>0?"), QString("(12+3)/4=5.6,7;8<9>0?"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\"$'*-"), QString::fromUtf8("∀∃∋∗−"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00B4\u00B8\u00B1\u00A3\u00B3\u00B9\u00BB\u00A5"),
              QString::fromUtf8("×÷±≤≥≠≈∞"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00D6\u00E5\u00D5\u00F2\u00B6\u00D1"), QString::fromUtf8("√∑∏∫∂∇"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00AB\u00AC\u00AD\u00AE\u00AF"), QString::fromUtf8("↔←↑→↓"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00DB\u00DC\u00DD\u00DE\u00DF"), QString::fromUtf8("⇔⇐⇑⇒⇓"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00A7\u00A8\u00A9\u00AA"), QString::fromUtf8("♣♦♥♠"));
    // Brace and integral pieces are the standard pieces: top, middle, bottom.
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00EC\u00ED\u00EE"), QString::fromUtf8("⎧⎨⎩"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u00F3\u00F4\u00F5"), QString::fromUtf8("⌠⎮⌡"));
}

TEST(SymbolFonts, WingdingsChecksCrossesAndBoxes)
{
    const auto wd = [](char16_t code) { return ShownOne(TSymbolFace::Wingdings, code); };
    EXPECT_TRUE(kCheckMarks.contains(wd(0xFC)));
    EXPECT_TRUE(kBallotCrosses.contains(wd(0xFB)));
    EXPECT_TRUE(kCheckedBoxes.contains(wd(0xFE)));
    EXPECT_TRUE(kCrossedBoxes.contains(wd(0xFD)));
    EXPECT_TRUE(kCrossedBoxes.contains(wd(0x78)));
    EXPECT_TRUE(kEmptyBoxes.contains(wd(0xA8)));
    EXPECT_TRUE(kEmptyBoxes.contains(wd(0x6F)));
    EXPECT_TRUE(kShadowedBoxes.contains(wd(0x71)));
    EXPECT_TRUE(kBlackCircles.contains(wd(0x6C)));
    EXPECT_TRUE(kBlackSquares.contains(wd(0x6E)));
    EXPECT_TRUE(kSmallBlackSquares.contains(wd(0xA7)));
    EXPECT_TRUE(kBullets.contains(wd(0x9F)));

    const auto wd2 = [](char16_t code) { return ShownOne(TSymbolFace::Wingdings2, code); };
    EXPECT_TRUE(kCheckMarks.contains(wd2(0x50)));
    EXPECT_TRUE(kBallotCrosses.contains(wd2(0x4F)));
    EXPECT_TRUE(kCrossedBoxes.contains(wd2(0x51)));
    EXPECT_TRUE(kCheckedBoxes.contains(wd2(0x52)));
    EXPECT_TRUE(kCrossedBoxes.contains(wd2(0x53)));
    EXPECT_TRUE(kCrossedBoxes.contains(wd2(0x54)));
    EXPECT_TRUE(kEmptyBoxes.contains(wd2(0xA3)));
    EXPECT_TRUE(kBlackSquares.contains(wd2(0xA2)));
    EXPECT_TRUE(kBlackCircles.contains(wd2(0x98)));
    EXPECT_TRUE(kWhiteCircles.contains(wd2(0x99)));

    EXPECT_TRUE(kCheckMarks.contains(ShownOne(TSymbolFace::Webdings, 0x61)));
    // The same code means different signs in different faces.
    EXPECT_NE(wd(0x50), wd2(0x50));
}

TEST(SymbolFonts, ArrowsAndNumberedRunsKeepTheirOrder)
{
    EXPECT_EQ(Decoded(TSymbolFace::Wingdings, u"\u00EF\u00F0\u00F1\u00F2"), QString::fromUtf8("⇦⇨⇧⇩"));
    EXPECT_EQ(Decoded(TSymbolFace::Wingdings3, u"pqtu"), QString::fromUtf8("▲▼◀▶"));
    EXPECT_EQ(Decoded(TSymbolFace::Wingdings3, u"rsvw"), QString::fromUtf8("△▽◁▷"));

    // Runs of signs that follow each other in the font and in Unicode alike:
    // a table shifted by a place, or a row out of place, breaks them.
    struct TRun {
        TSymbolFace Face;
        char16_t FirstCode;
        char32_t FirstCharacter;
        int Length;
    };
    const TRun runs[] = {
        {TSymbolFace::Wingdings, 0x5E, U'♈', 12},         // the zodiac
        {TSymbolFace::Wingdings, 0x81, U'➀', 10},         // circled 1..10
        {TSymbolFace::Wingdings, 0x8C, U'➊', 10},         // black circled 1..10
        {TSymbolFace::Wingdings2, 0x6A, U'①', 10},        // circled 1..10
        {TSymbolFace::Wingdings2, 0x75, U'❶', 10},        // black circled 1..10
        {TSymbolFace::Symbol, 0x41, U'Α', 2},             // Alpha, Beta
        {TSymbolFace::Wingdings, 0xB7, U'\U0001F550', 12}, // the clock faces
    };
    for (const TRun& run : runs) {
        for (int i = 0; i < run.Length; ++i) {
            const char16_t code = static_cast<char16_t>(run.FirstCode + i);
            EXPECT_EQ(SymbolCharacter(run.Face, code), run.FirstCharacter + static_cast<char32_t>(i))
                << "code " << std::hex << unsigned(code);
        }
    }
}

TEST(SymbolFonts, CharactersBeyondTheBmpShareTheirCodesIndex)
{
    // Wingdings 0x21 (a pencil) lies beyond the BMP, its neighbours within it.
    const std::u16string codes = {0x6C, 0xF021, 0xFC, 0x21};
    const TSymbolText decoded = DecodeSymbolText(TSymbolFace::Wingdings, codes);
    ASSERT_EQ(decoded.Text.size(), 6);
    EXPECT_FALSE(decoded.Text.at(0).isSurrogate());
    EXPECT_TRUE(decoded.Text.at(1).isHighSurrogate());
    EXPECT_TRUE(decoded.Text.at(2).isLowSurrogate());
    EXPECT_FALSE(decoded.Text.at(3).isSurrogate());
    EXPECT_EQ(decoded.Sources, (std::vector<int>{0, 1, 1, 2, 3, 3}));

    const QList<uint> ucs4 = decoded.Text.toUcs4();
    ASSERT_EQ(ucs4.size(), 4);
    EXPECT_GT(ucs4[1], 0xFFFFu);
    EXPECT_EQ(ucs4[1], SymbolCharacter(TSymbolFace::Wingdings, 0x21));
    EXPECT_EQ(ucs4[3], ucs4[1]);
    EXPECT_TRUE(kCheckMarks.contains(ucs4[2]));

    // Whatever the caller keeps per code follows it onto both halves.
    const std::vector<double> x = {0, 10, 25, 31};
    EXPECT_EQ(decoded.PerUnit(std::span<const double>(x)), (std::vector<double>{0, 10, 10, 25, 31, 31}));
}

TEST(SymbolFonts, UnitsWithoutASignAreKept)
{
    // The space is blank in every face, in both forms.
    for (const TSymbolFace face : kAllFaces)
        EXPECT_EQ(Decoded(face, u"\uF020 "), QString("  "));

    // Codes where the face has nothing keep their own form.
    EXPECT_EQ(Decoded(TSymbolFace::Wingdings, u"\u007F\uF07F"), QString::fromStdU16String(u"\u007F\uF07F"));
    EXPECT_EQ(Decoded(TSymbolFace::Wingdings2, u"\u00FF\uF0FF"), QString::fromStdU16String(u"\u00FF\uF0FF"));
    EXPECT_EQ(Decoded(TSymbolFace::Symbol, u"\u0080\uF0F0"), QString::fromStdU16String(u"\u0080\uF0F0"));
    EXPECT_EQ(SymbolCharacter(TSymbolFace::Wingdings3, 0xF0FF), 0u);

    // Units outside both code ranges are no codes at all: controls, text in
    // other scripts, the neighbours of the private-use range, lone surrogates.
    const std::u16string others = {0x0D, 0x1F, 0x0100, 0x4E2D, 0xF01F, 0xF100, 0xD800, 0x00, 0xF000};
    for (const TSymbolFace face : kAllFaces) {
        const TSymbolText decoded = DecodeSymbolText(face, others);
        EXPECT_EQ(decoded.Text, QString::fromStdU16String(others));
        EXPECT_EQ(decoded.Sources, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        for (const char16_t unit : others)
            EXPECT_EQ(SymbolCharacter(face, unit), 0u);
    }

    // Mixed in with codes, they do not disturb their neighbours' places.
    const TSymbolText mixed = DecodeSymbolText(TSymbolFace::Symbol, u"a\u4E2D\uF070");
    EXPECT_EQ(mixed.Text, QString::fromUtf8("α中π"));
    EXPECT_EQ(mixed.Sources, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(DecodeSymbolText(TSymbolFace::Webdings, u"").Text.isEmpty());
}

}  // namespace
}  // namespace qrp
