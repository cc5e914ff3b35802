// Creating, selecting and deleting pens, brushes, fonts and palettes.

#include "platform/emf/player/dib.h"
#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"

namespace qrp::emf {

namespace {
// Dash runs of user-styled pens beyond this count are dropped.
constexpr std::uint32_t kMaxStyleEntries = 64;
}  // namespace

void TPlayer::CreatePen(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    TLogPen pen;
    pen.Style = f.U32(12);
    pen.Width = f.I32(16);
    pen.Color = Color(f.U32(24));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    pen.Cosmetic = pen.Width <= 0;
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = pen;
}

void TPlayer::ExtCreatePen(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    TLogPen pen;
    pen.Style = f.U32(28);
    pen.Width = f.U32(32);
    const std::uint32_t brushStyle = f.U32(36);
    pen.Color = Color(f.U32(40));
    if (brushStyle == BS_HATCHED) {
        pen.BrushStyle = BS_HATCHED;
        pen.Hatch = f.U32(44);
    } else if (brushStyle == BS_PATTERN || brushStyle == BS_DIBPATTERN || brushStyle == BS_DIBPATTERNPT) {
        // The pattern's bitmap is in the record; for DIB patterns the colour's
        // low word says whether its table holds colours or palette indexes.
        const std::uint32_t offInfo = f.U32(12), sizeInfo = f.U32(16), offBits = f.U32(20), sizeBits = f.U32(24);
        const std::uint32_t usage = brushStyle == BS_PATTERN ? 0 : f.U32(40) & 0xFFFF;
        if (f.Ok() && sizeInfo != 0) {
            pen.Pattern = DecodeBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, false);
            if (!pen.Pattern.isNull())
                pen.BrushStyle = BS_DIBPATTERN;
        }
    }
    const std::uint32_t entries = f.U32(48);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    pen.Cosmetic = (pen.Style & PS_GEOMETRIC) == 0;
    if (brushStyle == BS_NULL)
        pen.Style = (pen.Style & ~PS_STYLE_MASK) | PS_NULL;
    if ((pen.Style & PS_STYLE_MASK) == PS_USERSTYLE) {
        if (!f.HasArray(52, entries, 4) || entries > kMaxStyleEntries) {
            Problem(r, "user pen style does not fit the record");
            pen.Style = (pen.Style & ~PS_STYLE_MASK) | PS_SOLID;
        } else {
            for (std::uint32_t i = 0; i < entries; ++i)
                pen.Dashes.push_back(f.U32(52 + 4 * i));
        }
    }
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = pen;
}

void TPlayer::CreateBrushIndirect(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    TLogBrush brush;
    brush.Style = f.U32(12);
    brush.Color = Color(f.U32(16));
    brush.Hatch = f.U32(20);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (brush.Style != BS_SOLID && brush.Style != BS_NULL && brush.Style != BS_HATCHED) {
        Problem(r, "brush style " + std::to_string(brush.Style) + " drawn solid");
        brush.Style = BS_SOLID;
    }
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = brush;
}

void TPlayer::CreatePatternBrush(TRecord& r, bool monochrome)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    const std::uint32_t usage = f.U32(12);
    const std::uint32_t offInfo = f.U32(16), sizeInfo = f.U32(20), offBits = f.U32(24), sizeBits = f.U32(28);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    TLogBrush brush;
    brush.Style = BS_DIBPATTERN;
    brush.Pattern = DecodeBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, false);
    brush.Monochrome = monochrome;
    if (brush.Pattern.isNull()) {
        brush.Style = BS_SOLID;
        brush.Color = Qt::black;
    }
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = brush;
}

void TPlayer::CreateFont(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    TLogFont font;
    font.Height = f.I32(12);
    font.Width = f.I32(16);
    font.Escapement = f.I32(20);
    font.Orientation = f.I32(24);
    font.Weight = f.I32(28);
    font.Italic = f.U8(32) != 0;
    font.Underline = f.U8(33) != 0;
    font.StrikeOut = f.U8(34) != 0;
    font.CharSet = f.U8(35);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    // The face name: up to 32 UTF-16 units, ended by a zero or the field.
    for (std::size_t i = 0; i < 32 && f.Has(40 + 2 * i, 2); ++i) {
        const char16_t c = f.U16(40 + 2 * i);
        if (c == 0)
            break;
        font.FaceName.append(QChar(c));
    }
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = font;
}

void TPlayer::CreatePalette(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8);
    const std::uint16_t count = f.U16(14);
    if (!f.Ok() || !f.HasArray(16, count, 4))
        return Problem(r, "palette does not fit the record");
    auto palette = std::make_shared<TLogPalette>();
    palette->Entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        palette->Entries.push_back(qRgb(f.U8(16 + 4 * i), f.U8(17 + 4 * i), f.U8(18 + 4 * i)));
    if (TGdiObject* slot = ObjectSlot(r, index, true))
        *slot = std::move(palette);
}

void TPlayer::SetPaletteEntries(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t index = f.U32(8), start = f.U32(12), count = f.U32(16);
    if (!f.Ok() || !f.HasArray(20, count, 4))
        return Problem(r, "palette entries do not fit the record");
    TGdiObject* slot = ObjectSlot(r, index, false);
    auto* held = slot ? std::get_if<TPalettePtr>(slot) : nullptr;
    if (!held)
        return Problem(r, "palette entries for an object that is no palette");
    // As in GDI the palette keeps its size: entries past its end are not set.
    TPalettePtr& palette = *held;
    const std::size_t size = palette->Entries.size();
    const std::size_t set = start < size ? std::min<std::size_t>(count, size - start) : 0;
    if (set < count)
        Problem(r, std::to_string(count - set) + " palette entries past the palette's end ignored");
    if (set == 0)
        return;
    // Device contexts that selected the palette keep the entries they were given.
    if (palette.use_count() > 1)
        palette = std::make_shared<TLogPalette>(*palette);
    for (std::size_t i = 0; i < set; ++i)
        palette->Entries[start + i] = qRgb(f.U8(20 + 4 * i), f.U8(21 + 4 * i), f.U8(22 + 4 * i));
}

void TPlayer::SelectObject(TRecord& r, std::uint32_t index)
{
    TGdiObject object;
    if (index & kStockObjectFlag) {
        object = StockObject(index & ~kStockObjectFlag);
    } else if (TGdiObject* slot = ObjectSlot(r, index, false)) {
        object = *slot;
    } else {
        return;  // already reported
    }
    if (auto* pen = std::get_if<TLogPen>(&object))
        Dc.Pen = *pen;
    else if (auto* brush = std::get_if<TLogBrush>(&object))
        Dc.Brush = *brush;
    else if (auto* font = std::get_if<TLogFont>(&object))
        Dc.Font = *font;
    else if (auto* palette = std::get_if<TPalettePtr>(&object))
        Dc.Palette = *palette;
    else
        Problem(r, "selected object " + std::to_string(index) + " does not exist");
}

void TPlayer::DeleteObject(TRecord& r, std::uint32_t index)
{
    // A selected object stays in use: the state holds its own copy.
    if (TGdiObject* slot = ObjectSlot(r, index, false))
        *slot = std::monostate {};
}

}  // namespace qrp::emf
