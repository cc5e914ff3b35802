// Text records: fonts chosen and sized, characters placed by the record's
// advance array (or by the font when it has none), aligned, backgrounds,
// clipping and the current position.

#include <cmath>
#include <numbers>

#include <QFontMetricsF>
#include <QRawFont>

#include "platform/emf/emf_records.h"
#include "platform/emf/player/outline_geometry.h"
#include "platform/emf/player/player.h"
#include "platform/text/code_pages.h"
#include "platform/text/font_mapping.h"
#include "platform/text/symbol_fonts.h"

namespace qrp::emf {

namespace {
constexpr std::uint32_t kMaxTextLength = 1 << 16;
constexpr int kMaxFontPixels = 20000;

QPointF Linear(const QTransform& t, const QPointF& v) { return t.map(v) - t.map(QPointF(0, 0)); }

double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

// The symbol face whose codes the font's text holds: a known symbol face, or
// Symbol for another face of the symbol character set that is not installed
// (the font the system falls back to for such a face). An installed one
// draws its own codes.
std::optional<TSymbolFace> SymbolFaceOfFont(const TLogFont& logFont)
{
    if (const auto face = SymbolFaceOf(logFont.FaceName))
        return face;
    if (logFont.CharSet != SYMBOL_CHARSET ||
        SubstituteFontFamily(logFont.FaceName, logFont.CharSet).compare(logFont.FaceName.trimmed(), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return TSymbolFace::Symbol;
}

// Whether the family drawn for Symbol is one of symbol codes, as the
// metric-compatible one is: it has the letters but not the Greek signs the
// letters' codes stand for.
bool HoldsSignsUnderCodes(const QString& family)
{
    const QRawFont raw = QRawFont::fromFont(QFont(family));
    return raw.isValid() && raw.supportsCharacter(QChar(u'a')) && !raw.supportsCharacter(QChar(u'\u03B1'));
}

// Eight-bit text as characters: a symbol font's bytes are its codes, other
// text is read in the font's code page.
std::u16string NarrowText(std::span<const std::uint8_t> bytes, const TLogFont& logFont, bool symbolFont)
{
    if (symbolFont)
        return std::u16string(bytes.begin(), bytes.end());
    return DecodeCodePage(bytes, CodePageOfCharset(logFont.CharSet));
}

QFont::Weight WeightOf(std::int32_t weight)
{
    if (weight <= 0)
        return QFont::Normal;
    // Rounded to the nearest hundred; any weight past the heaviest is the heaviest.
    return static_cast<QFont::Weight>(std::clamp((std::min(weight, 900) + 50) / 100 * 100, 100, 900));
}

// The font in output pixels for a logical height (negative: character height,
// positive: cell height, zero: the default size).
QFont OutputFont(const TLogFont& logFont, const QString& family, double yScale)
{
    QFont font(family);
    font.setWeight(WeightOf(logFont.Weight));
    font.setItalic(logFont.Italic);
    font.setUnderline(logFont.Underline);
    font.setStrikeOut(logFont.StrikeOut);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    double height = (logFont.Height == 0 ? 12.0 : std::abs(static_cast<double>(logFont.Height))) * yScale;
    if (logFont.Height > 0) {
        // The cell is ascent plus descent; the font's em is a share of it.
        font.setPixelSize(100);
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            height *= 100 / cell;
    }
    font.setPixelSize(std::clamp(static_cast<int>(std::lround(height)), 1, kMaxFontPixels));
    if (logFont.Width > 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        const double wanted = logFont.Width * yScale;
        if (average > 0)
            font.setStretch(std::clamp(static_cast<int>(std::lround(100 * wanted / average)), 1, 4000));
    }
    return font;
}
}  // namespace

const TPlayer::TFontChoice& TPlayer::ChosenFont()
{
    // Text records come by the thousand in the few fonts a page selects.
    if (!LastFontChoice || LastFontChoice->Face != Dc.Font.FaceName || LastFontChoice->CharSet != Dc.Font.CharSet) {
        const QString family = SubstituteFontFamily(Dc.Font.FaceName, Dc.Font.CharSet);
        const auto symbol = SymbolFaceOfFont(Dc.Font);
        LastFontChoice = TFontChoice {Dc.Font.FaceName, Dc.Font.CharSet, family, symbol,
                                      symbol == TSymbolFace::Symbol && HoldsSignsUnderCodes(family)};
    }
    return *LastFontChoice;
}

void TPlayer::ExtTextOut(TRecord& r, bool wide)
{
    auto& f = r.Fields;
    const QPointF reference(f.I32(36), f.I32(40));
    const std::uint32_t count = f.U32(44);
    const std::uint32_t offString = f.U32(48);
    const std::uint32_t options = f.U32(52);
    const QRectF rect(QPointF(f.I32(56), f.I32(60)), QPointF(f.I32(64), f.I32(68)));
    const std::uint32_t offDx = f.U32(72);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (count > kMaxTextLength || !f.HasArray(offString, count, wide ? 2 : 1))
        return Problem(r, "text does not fit the record");
    std::u16string text;
    if (options & ETO_GLYPH_INDEX) {
        // Glyph numbers of a font we do not have would draw the wrong glyphs:
        // the characters are unknown, though where they go is not.
        if (count > 0)
            Problem(r, "text given as glyph indexes is not drawn");
        text.assign(count, u'\xFFFD');
    } else if (wide) {
        for (std::uint32_t i = 0; i < count; ++i)
            text.push_back(static_cast<char16_t>(f.U16(offString + 2 * i)));
    } else {
        text = NarrowText(f.Bytes(offString, count), Dc.Font, ChosenFont().Symbol.has_value());
    }
    const bool pairs = (options & ETO_PDY) != 0;
    std::vector<QPointF> advances;
    if (offDx != 0 && count > 0 && f.HasArray(offDx, count, pairs ? 8 : 4)) {
        std::vector<QPointF> perUnit;
        for (std::uint32_t i = 0; i < count; ++i)
            perUnit.emplace_back(f.I32(offDx + (pairs ? 8 : 4) * i), pairs ? f.I32(offDx + 8 * i + 4) : 0);
        if (perUnit.size() == text.size()) {
            advances = std::move(perUnit);
        } else if (!text.empty()) {
            // Multi-byte text: the bytes' advances shared out evenly over its characters.
            QPointF total;
            for (const QPointF& a : perUnit)
                total += a;
            advances.assign(text.size(), total / static_cast<double>(text.size()));
        }
    }
    DrawTextRecord(r, reference, text, options, rect, advances);
}

void TPlayer::SmallTextOut(TRecord& r)
{
    auto& f = r.Fields;
    const QPointF reference(f.I32(8), f.I32(12));
    const std::uint32_t count = f.U32(16);
    const std::uint32_t options = f.U32(20);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    QRectF rect;
    std::size_t textOffset = 36;
    if (!(options & ETO_NO_RECT)) {
        rect = QRectF(QPointF(f.I32(36), f.I32(40)), QPointF(f.I32(44), f.I32(48)));
        textOffset = 52;
    }
    const bool narrow = (options & ETO_SMALL_CHARS) != 0;
    if (count > kMaxTextLength || !f.HasArray(textOffset, count, narrow ? 1 : 2))
        return Problem(r, "text does not fit the record");
    std::u16string text;
    if (narrow)
        text = NarrowText(f.Bytes(textOffset, count), Dc.Font, ChosenFont().Symbol.has_value());
    else
        for (std::uint32_t i = 0; i < count; ++i)
            text.push_back(static_cast<char16_t>(f.U16(textOffset + 2 * i)));
    DrawTextRecord(r, reference, text, options & ~ETO_GLYPH_INDEX, rect, {});
}

void TPlayer::DrawTextRecord(TRecord& r, QPointF reference, const std::u16string& text, std::uint32_t options,
                             const QRectF& rect, const std::vector<QPointF>& advances)
{
    (void)r;
    const bool updateCp = (Dc.TextAlign & TA_UPDATECP) != 0;
    if (updateCp)
        reference = Dc.CurrentPosition;
    const double yScale = Length(Linear(LogicalToOutput, QPointF(0, 1)));
    const TFontChoice& choice = ChosenFont();
    const QFont font = OutputFont(Dc.Font, choice.Family, yScale);
    const QFontMetricsF metrics(font);

    // The baseline runs along the logical x axis turned by the escapement:
    // counter-clockwise as seen, or clockwise where the mapping mirrors the
    // logical space (y pointing up), as the escapement turns with it; "down"
    // is a quarter turn clockwise from the baseline.
    const QPointF xAxis = Linear(LogicalToOutput, QPointF(1, 0));
    const double axisAngle = std::atan2(xAxis.y(), std::abs(xAxis.x()) > 0 ? std::abs(xAxis.x()) : 1e-9);
    const bool mirrored = LogicalToDevice.determinant() < 0;
    const double escapement = Dc.Font.Escapement / 10.0 * std::numbers::pi / 180;
    const double angle = mirrored ? axisAngle + escapement : axisAngle - escapement;
    const QPointF along(std::cos(angle), std::sin(angle));
    const QPointF down(-along.y(), along.x());
    const QTransform turn = QTransform().rotateRadians(angle - axisAngle);

    std::vector<QPointF> steps;
    steps.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i < advances.size())
            steps.push_back(turn.map(Linear(LogicalToOutput, advances[i])));
        else
            steps.push_back(along * metrics.horizontalAdvance(QChar(text[i])));
    }
    QPointF total;
    for (const QPointF& s : steps)
        total += s;

    QPointF start = LogicalToOutput.map(reference);
    const std::uint32_t horizontal = Dc.TextAlign & TA_HORIZONTAL_MASK;
    if (horizontal == TA_RIGHT)
        start -= total;
    else if (horizontal == TA_CENTER)
        start -= total / 2;
    const std::uint32_t vertical = Dc.TextAlign & TA_VERTICAL_MASK;
    if (vertical == TA_BASELINE) {
    } else if (vertical == TA_BOTTOM) {
        start -= down * metrics.descent();
    } else {
        start += down * metrics.ascent();
    }
    if (updateCp && horizontal != TA_CENTER) {
        const QPointF moved = LogicalToOutput.inverted().map(LogicalToOutput.map(reference) + (horizontal == TA_RIGHT ? -total : total));
        Dc.CurrentPosition = moved;
    }

    // Where each character goes; a symbol font's codes become the signs they show.
    std::vector<QPointF> positions;
    QPointF at = start;
    for (const QPointF& s : steps) {
        positions.push_back(at);
        at += s;
    }
    QString characters = QString::fromStdU16String(text);
    QString fontCodes;
    QFont drawnFont = font;
    if (const auto symbolFace = choice.Symbol; symbolFace && !(options & ETO_GLYPH_INDEX)) {
        const TSymbolText signs = DecodeSymbolText(*symbolFace, text);
        if (choice.SymbolCodes) {
            for (const int source : signs.Sources)
                fontCodes.append(QChar(text[static_cast<std::size_t>(source)] & 0xFF));
        } else {
            // Dingbats: one font that has all the signs, rather than a mix of fallbacks.
            drawnFont.setFamily(FamilyWithCharacters(font.family(), signs.Text));
        }
        characters = signs.Text;
        positions = signs.PerUnit(std::span<const QPointF>(positions));
    }
    if (InPath) {
        // Inside a path bracket the text adds its glyph outlines to the path,
        // which is then stroked, filled or made the clip; nothing is drawn.
        // Glyph numbers of a font we do not have add nothing, as they draw nothing.
        if (!(options & ETO_GLYPH_INDEX))
            AddTextOutlines(fontCodes.isEmpty() ? characters : fontCodes, positions, drawnFont,
                            angle * 180 / std::numbers::pi);
        return;
    }

    // The opaque rectangle, or the text's own cell in opaque background mode.
    const std::optional<QRegion> savedClip = Dc.Clip;
    const bool hasRect = rect.width() != 0 && rect.height() != 0;
    const QRectF rectOut = LogicalToOutput.mapRect(rect.normalized());
    if ((options & ETO_OPAQUE) && hasRect) {
        QPainterPath box;
        box.addRect(rectOut);
        ApplyClip();
        Device.FillPath(box, QBrush(Dc.BkColor), QPainter::CompositionMode_SourceOver);
    }
    if ((options & ETO_CLIPPED) && hasRect)
        CombineClip(QRegion(rectOut.intersected(ClipArea).toAlignedRect()), RGN_AND);
    if (Dc.BkMode == OPAQUE && !(options & ETO_OPAQUE) && !text.empty()) {
        const QPointF top = start - down * metrics.ascent();
        const QPointF height = down * (metrics.ascent() + metrics.descent());
        QPainterPath cell;
        cell.addPolygon(QPolygonF({top, top + total, top + total + height, top + height}));
        ApplyClip();
        Device.FillPath(cell, QBrush(Dc.BkColor), QPainter::CompositionMode_SourceOver);
    }
    if (!text.empty()) {
        TTextRun run;
        run.Text = characters;
        run.Font = drawnFont;
        run.Color = Dc.TextColor;
        run.Angle = angle * 180 / std::numbers::pi;
        run.GlyphIndexes = (options & ETO_GLYPH_INDEX) != 0;
        run.Positions = std::move(positions);
        run.FontCodes = std::move(fontCodes);
        ApplyClip();
        Device.DrawText(run);
    }
    Dc.Clip = savedClip;
}

void TPlayer::AddTextOutlines(const QString& text, const std::vector<QPointF>& positions, const QFont& font,
                              double angle)
{
    const qsizetype count = std::min<qsizetype>(text.size(), static_cast<qsizetype>(positions.size()));
    if (!Budget.Spend({.Glyphs = static_cast<double>(count)}))
        return;
    const QPainterPath outlines = GlyphOutlines(text, positions, font, angle);
    if (!Budget.Spend({.PathSegments = static_cast<double>(outlines.elementCount())}))
        return;
    Path.addPath(FrameToOutput.inverted().map(outlines));
}

}  // namespace qrp::emf
