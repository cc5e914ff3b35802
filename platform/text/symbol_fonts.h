#pragma once
// Text set in a symbol font: check boxes, bullets, arrows, ticks and crosses
// drawn with Symbol, Wingdings, Wingdings 2, Wingdings 3 or Webdings. Such
// text stores the font's 8-bit codes 0x20..0xFF, in wide text also as
// U+F020..U+F0FF (the private-use range symbol fonts put their codes at). We
// have none of these fonts, so the codes are turned into the Unicode signs
// their glyphs show, to be drawn with an installed font that has them.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include <QString>

namespace qrp {

enum class TSymbolFace { Symbol, Wingdings, Wingdings2, Wingdings3, Webdings };

// The symbol face a font face name is (case-insensitive, blanks around and
// runs of blanks inside ignored: " wingdings  2 " is Wingdings 2), or none.
std::optional<TSymbolFace> SymbolFaceOf(const QString& faceName);

// The Unicode character the face's glyph at code shows, code being one of
// the face's codes in either form (0x20..0xFF or U+F020..U+F0FF); 0 when
// code is no code of the face or the face has no glyph there. The space
// (0x20) is blank, no glyph.
char32_t SymbolCharacter(TSymbolFace face, char16_t code);

// Text in a symbol face as Unicode, with where each UTF-16 unit came from.
struct TSymbolText {
    QString Text;
    // One per UTF-16 unit of Text: the index of the code it came from. A
    // character outside the BMP takes two units, both with its code's index.
    std::vector<int> Sources;

    // Something given per code (a position, an advance, ...) as one per
    // UTF-16 unit of Text. perCode must hold one value for every code.
    template <typename T>
    std::vector<T> PerUnit(std::span<const T> perCode) const
    {
        std::vector<T> result;
        result.reserve(Sources.size());
        for (const int source : Sources)
            result.push_back(perCode[static_cast<std::size_t>(source)]);
        return result;
    }
};

// The text codes show in face, code by code. Each UTF-16 unit that is a code
// of the face becomes the character of the face's glyph there (a surrogate
// pair when it lies outside the BMP). A code without a character is kept as
// it is, except that the blank codes (the space 0x20, and 0xA0 in a face with
// nothing there), in either form, become U+0020. Units that are no code of
// the face (controls, other Unicode text, surrogates) are kept as they are.
TSymbolText DecodeSymbolText(TSymbolFace face, std::u16string_view codes);

}  // namespace qrp
