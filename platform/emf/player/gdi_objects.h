#pragma once
// The drawing objects a metafile creates and selects: pens, brushes, fonts
// and palettes as the records describe them, and the stock objects.

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include <QColor>
#include <QImage>
#include <QString>

namespace qrp::emf {

struct TLogPen {
    std::uint32_t Style = 0;   // PS_* style, end cap, join and type bits
    double Width = 0;          // logical units; 0 draws one device pixel
    QColor Color = Qt::black;
    bool Cosmetic = true;      // one device pixel whatever the transform
    std::vector<double> Dashes;  // PS_USERSTYLE runs, logical units
    // A geometric pen's brush: BS_SOLID, BS_HATCHED with its hatch, or
    // BS_DIBPATTERN with its pattern, which then shows inside the stroke.
    std::uint32_t BrushStyle = 0;
    std::uint32_t Hatch = 0;
    QImage Pattern;
};

struct TLogBrush {
    std::uint32_t Style = 0;  // BS_*
    QColor Color = Qt::white;
    std::uint32_t Hatch = 0;
    QImage Pattern;           // BS_DIBPATTERN / pattern brushes
    bool Monochrome = false;  // a 1-bit pattern drawn in the text and background colours
};

struct TLogFont {
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::int32_t Escapement = 0;  // tenths of a degree, counter-clockwise
    std::int32_t Orientation = 0;
    std::int32_t Weight = 0;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t CharSet = 0;
    QString FaceName;
};

struct TLogPalette {
    std::vector<QRgb> Entries;
};

// Palettes hold up to 65535 entries: the object table and every saved device
// context share one copy, and a palette changed while shared is copied first.
using TPalettePtr = std::shared_ptr<TLogPalette>;
using TPaletteRef = std::shared_ptr<const TLogPalette>;

using TGdiObject = std::variant<std::monostate, TLogPen, TLogBrush, TLogFont, TPalettePtr>;

// Stock object n (the index without its high flag), or none for unknown numbers.
TGdiObject StockObject(std::uint32_t index);

// The colour of a COLORREF: 0x00BBGGRR, or a palette index (0x01 high byte) into palette.
QColor ColorFromRef(std::uint32_t colorRef, const TLogPalette* palette);

}  // namespace qrp::emf
