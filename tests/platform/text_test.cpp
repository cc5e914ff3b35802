#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>

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
    // The substitutes are installed, so Qt resolves them exactly.
    for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
        const QFont font(SubstituteFontFamily(face));
        EXPECT_EQ(QFontInfo(font).family(), SubstituteFontFamily(face)) << face;
    }
}

}  // namespace
}  // namespace qrp
