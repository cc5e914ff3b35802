#pragma once
// The drawing state of a canvas: colours, rectangles, pens, brushes and fonts
// as plain values. A canvas reads them at each drawing call.

#include <algorithm>
#include <cstdint>

#include <QString>

#include "platform/text/code_pages.h"

namespace qrp {

// 0x00BBGGRR, as page recordings store colours.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;

constexpr TColor RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) | (static_cast<TColor>(blue) << 16);
}

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Right and bottom are exclusive: {0, 0, 10, 10} covers pixels 0..9.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // The same area with left ≤ right and top ≤ bottom.
    TRect Normalized() const
    {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
    }
    bool operator==(const TRect&) const = default;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;  // pixels; 0 and below draw one pixel wide
    TPenStyle Style = psSolid;

    int DrawnWidth() const { return std::max(Width, 1); }
    // Dashes and dots are drawn by one-pixel pens only; wider pens draw them solid.
    bool IsDashed() const { return DrawnWidth() == 1 && Style >= psDash && Style <= psDashDotDot; }
    bool operator==(const TPen&) const = default;
};

// Hatched brushes draw their lines only; what lies between shows through.
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TBrush&) const = default;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font of a canvas: its height is in the canvas's pixels, its size in
// points follows from the canvas's resolution.
class TFont {
public:
    explicit TFont(int pixelsPerInch = 96);
    TFont(const TFont&) = default;
    // Takes the other font's face, style, colour and character set, and its
    // height scaled to this font's resolution, so the size in points is kept.
    TFont& operator=(const TFont& other);

    QString Name = QStringLiteral("Arial");  // the Windows face name; drawn with its substitute
    int Height;                              // negative: character height; positive: cell height
    TFontStyles Style = 0;
    TColor Color = clBlack;
    std::uint8_t CharSet = DEFAULT_CHARSET;

    int PixelsPerInch() const { return Resolution; }
    // Points: −Height × 72 / PixelsPerInch, rounded.
    int Size() const;
    void SetSize(int points);

    // Whether both fonts make the same typeface object (everything but the colour).
    bool SameTypeface(const TFont& other) const;

private:
    int Resolution;
};

}  // namespace qrp
