#pragma once
// 8-bit text of Windows code pages, as page recordings store it: the font's
// character set names the code page, iconv does the conversion.

#include <cstdint>
#include <span>
#include <string>

namespace qrp {

// GDI character set numbers that name a code page.
constexpr std::uint8_t ANSI_CHARSET = 0;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t SYMBOL_CHARSET = 2;
constexpr std::uint8_t EASTEUROPE_CHARSET = 238;
constexpr std::uint8_t RUSSIAN_CHARSET = 204;

// The Windows code page of a character set: EASTEUROPE_CHARSET 1250,
// RUSSIAN_CHARSET 1251, ANSI and DEFAULT 1252, GREEK 1253, and so on; 1252
// for sets that name none.
int CodePageOfCharset(std::uint8_t charset);

// Converts text in a Windows code page to UTF-16. Bytes that the code page
// leaves undefined stand for themselves (U+0080..U+00FF), as Windows maps them;
// an incomplete multi-byte sequence at the end becomes U+FFFD.
std::u16string DecodeCodePage(std::span<const std::uint8_t> text, int codePage);

}  // namespace qrp
