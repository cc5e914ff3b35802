#include "platform/emf/player/gdi_objects.h"

#include "platform/emf/player/dib.h"
#include "platform/emf/emf_records.h"

namespace qrp::emf {

namespace {
TLogBrush SolidBrush(QColor color)
{
    TLogBrush brush;
    brush.Style = BS_SOLID;
    brush.Color = color;
    return brush;
}

TLogPen SolidPen(QColor color, std::uint32_t style = PS_SOLID)
{
    TLogPen pen;
    pen.Style = style;
    pen.Color = color;
    return pen;
}

TLogFont StockFont(std::int32_t height, std::int32_t weight, const char* face)
{
    TLogFont font;
    font.Height = height;
    font.Weight = weight;
    font.FaceName = QString::fromLatin1(face);
    return font;
}
}  // namespace

TGdiObject StockObject(std::uint32_t index)
{
    switch (index) {
    case 0: return SolidBrush(Qt::white);             // WHITE_BRUSH
    case 1: return SolidBrush(QColor(192, 192, 192));  // LTGRAY_BRUSH
    case 2: return SolidBrush(QColor(128, 128, 128));  // GRAY_BRUSH
    case 3: return SolidBrush(QColor(64, 64, 64));     // DKGRAY_BRUSH
    case 4: return SolidBrush(Qt::black);             // BLACK_BRUSH
    case 5: {                                          // NULL_BRUSH
        TLogBrush brush;
        brush.Style = BS_NULL;
        return brush;
    }
    case 6: return SolidPen(Qt::white);                // WHITE_PEN
    case 7: return SolidPen(Qt::black);                // BLACK_PEN
    case 8: return SolidPen(Qt::black, PS_NULL);       // NULL_PEN
    case 10: return StockFont(12, 400, "Courier New");  // OEM_FIXED_FONT
    case 11: return StockFont(12, 400, "Courier New");  // ANSI_FIXED_FONT
    case 12: return StockFont(12, 400, "MS Sans Serif");  // ANSI_VAR_FONT
    case 13: return StockFont(16, 700, "System");         // SYSTEM_FONT
    case 14: return StockFont(16, 700, "System");         // DEVICE_DEFAULT_FONT
    case 15:  // DEFAULT_PALETTE
        return std::make_shared<TLogPalette>(TLogPalette {{DefaultPalette().begin(), DefaultPalette().end()}});
    case 16: return StockFont(16, 400, "Courier New");  // SYSTEM_FIXED_FONT
    case 17: return StockFont(-11, 400, "MS Shell Dlg"); // DEFAULT_GUI_FONT
    case 18: return SolidBrush(Qt::white);              // DC_BRUSH
    case 19: return SolidPen(Qt::black);                // DC_PEN
    default: return std::monostate {};
    }
}

QColor ColorFromRef(std::uint32_t colorRef, const TLogPalette* palette)
{
    if ((colorRef >> 24) == 1) {
        const std::span<const QRgb> from =
            palette && !palette->Entries.empty() ? std::span<const QRgb>(palette->Entries) : DefaultPalette();
        const std::uint32_t index = colorRef & 0xFFFF;
        return index < from.size() ? QColor(from[index]) : QColor(Qt::black);
    }
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

}  // namespace qrp::emf
