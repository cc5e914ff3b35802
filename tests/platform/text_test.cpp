#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QRawFont>

#include "platform/text/code_pages.h"
#include "platform/text/font_mapping.h"

namespace qrp {
namespace {

std::u16string Decode(const std::string& bytes, int codePage)
{
    return DecodeCodePage({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, codePage);
}

TEST(CodePages, CharacterSetsNameTheirCodePages)
{
    EXPECT_EQ(CodePageOfCharset(EASTEUROPE_CHARSET), 1250);
    EXPECT_EQ(CodePageOfCharset(RUSSIAN_CHARSET), 1251);
    EXPECT_EQ(CodePageOfCharset(ANSI_CHARSET), 1252);
    EXPECT_EQ(CodePageOfCharset(DEFAULT_CHARSET), 1252);
    EXPECT_EQ(CodePageOfCharset(161), 1253);
    EXPECT_EQ(CodePageOfCharset(128), 932);
}

TEST(CodePages, DecodeCzechRussianAndUndefinedBytes)
{
    // "Příliš žluťoučký kůň" in code page 1250.
    EXPECT_EQ(Decode("P\xF8\xED\x6C\x69\x9A \x9Elu\x9Dou\xE8\x6B\xFD k\xF9\xF2", 1250), u"Příliš žluťoučký kůň");
    EXPECT_EQ(Decode("\xCF\xF0\xE8\xE2\xE5\xF2", 1251), u"Привет");
    EXPECT_EQ(Decode("\x80 \xE9", 1252), u"€ é");
    // 0x81 is undefined in 1250: it stands for itself and the rest still converts.
    EXPECT_EQ(Decode("a\x81\xE8", 1250), u"a\u0081č");
    EXPECT_EQ(Decode("\x93\xFA\x96\x7B", 932), u"日本");
    EXPECT_EQ(Decode("x\x93", 932), u"x\uFFFD") << "a lead byte without its trail";
    EXPECT_EQ(Decode("", 1250), u"");
}

TEST(FontMapping, WindowsFacesGetMetricCompatibleFamilies)
{
    EXPECT_EQ(SubstituteFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(SubstituteFontFamily("courier new"), "Liberation Mono");
    EXPECT_EQ(SubstituteFontFamily(""), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("DejaVu Serif"), "DejaVu Serif");
    // Faces fontconfig has no rule for: the old screen faces, the script
    // names, and faces unknown here, drawn as the system draws them.
    EXPECT_EQ(SubstituteFontFamily("Arial CE", 238), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("Times New Roman CYR", 204), "Liberation Serif");
    EXPECT_EQ(SubstituteFontFamily("Helvetica"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("No Such Face Anywhere"), "Liberation Sans");
    EXPECT_EQ(CanonicalWindowsFace("  Courier New CE "), "Courier New");
    EXPECT_EQ(CanonicalWindowsFace("CE"), "CE") << "a face that is only a suffix stays";
    // The substitutes are installed, so Qt resolves them exactly.
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        const QFont font(SubstituteFontFamily(face));
        EXPECT_EQ(QFontInfo(font).family(), SubstituteFontFamily(face)) << face;
    }
}

TEST(FontMapping, FacesOfOtherScriptsGetAFontOfTheirScript)
{
    // A face not installed, named with a character set: a font that writes the script.
    const struct {
        const char* Face;
        std::uint8_t CharSet;
        char16_t Sample;
    } faces[] = {{"MS Mincho", 128, u'\u65E5'}, {"SimSun", 134, u'\u4E2D'}, {"Gulim", 129, u'\uD55C'},
                 {"David", 177, u'\u05E9'}, {"Angsana New", 222, u'\u0E01'}};
    for (const auto& face : faces) {
        QFont font(SubstituteFontFamily(face.Face, face.CharSet));
        font.setPixelSize(20);
        EXPECT_TRUE(QRawFont::fromFont(font).supportsCharacter(QChar(face.Sample)))
            << face.Face << " drawn with " << font.family().toStdString();
    }
}

TEST(FontMapping, SymbolsGetAFamilyThatHasThem)
{
    // Dingbats no Latin family has: fontconfig finds one that has them all.
    const QString signs = QString::fromUtf16(u"\u2713\u2751\U0001F5F9");
    QFont font(FamilyWithCharacters("Liberation Sans", signs));
    const QRawFont raw = QRawFont::fromFont(font);
    for (const char32_t c : signs.toUcs4())
        EXPECT_TRUE(raw.supportsCharacter(c)) << std::hex << static_cast<std::uint32_t>(c) << " in " << font.family().toStdString();
    EXPECT_EQ(FamilyWithCharacters("Liberation Sans", "Abc"), "Liberation Sans") << "a family that has them stays";
}

}  // namespace
}  // namespace qrp
