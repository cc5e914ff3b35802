#pragma once
// Windows font faces on this desktop. fontconfig's own aliases give the
// metric-compatible families it knows (Arial as Liberation Sans, ...), so text
// keeps its width; the faces it has no rule for (the old screen faces, the
// East-European "CE" names) are first renamed to the face they stand for, and
// the LOGFONT's character set asks for a font of that script.

#include <cstdint>

#include <QString>

namespace qrp {

// The installed family to draw windowsFace with for text of charSet (a
// LOGFONT character set; DEFAULT_CHARSET leaves the script open). Never
// empty: fontconfig always answers with its best match.
QString SubstituteFontFamily(const QString& windowsFace, std::uint8_t charSet = 1);

// family when it has every character of text, else the family fontconfig
// finds that has the most of them (signs of symbol fonts, another script),
// nearest to family.
QString FamilyWithCharacters(const QString& family, const QString& text);

// The face windowsFace stands for before any font is looked up: "Arial CE"
// as "Arial", "MS Sans Serif" as "Arial", an empty face as "Arial", ...
QString CanonicalWindowsFace(const QString& windowsFace);

// The fontconfig language of a LOGFONT character set ("ja" for
// SHIFTJIS_CHARSET, "he" for HEBREW_CHARSET, ...); empty for the Western and
// default sets.
QString LanguageOfCharset(std::uint8_t charSet);

}  // namespace qrp
