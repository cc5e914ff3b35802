// Text records: fonts chosen and sized, characters placed by the record's
// advance array (or by the font when it has none), aligned, backgrounds,
// clipping and the current position.

#include <cmath>
#include <numbers>

#include <QFontMetricsF>

#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"
#include "platform/text/code_pages.h"
#include "platform/text/font_mapping.h"

namespace qrp::emf {

namespace {
constexpr std::uint32_t kMaxTextLength = 1 << 16;
constexpr int kMaxFontPixels = 20000;

QPointF Linear(const QTransform& t, const QPointF& v) { return t.map(v) - t.map(QPointF(0, 0)); }

double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

QFont::Weight WeightOf(std::int32_t weight)
{
    if (weight <= 0)
        return QFont::Normal;
    // Rounded to the nearest hundred; any weight past the heaviest is the heaviest.
    return static_cast<QFont::Weight>(std::clamp((std::min(weight, 900) + 50) / 100 * 100, 100, 900));
}

// The font in output pixels for a logical height (negative: character height,
// positive: cell height, zero: the default size).
QFont OutputFont(const TLogFont& logFont, double yScale)
{
    QFont font(SubstituteFontFamily(logFont.FaceName));
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
        text = DecodeCodePage(f.Bytes(offString, count), CodePageOfCharset(Dc.Font.CharSet));
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
        text = DecodeCodePage(f.Bytes(textOffset, count), CodePageOfCharset(Dc.Font.CharSet));
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
    const QFont font = OutputFont(Dc.Font, yScale);
    const QFontMetricsF metrics(font);

    // The baseline runs along the logical x axis turned by the escapement
    // (counter-clockwise as seen); "down" is a quarter turn clockwise from it.
    const QPointF xAxis = Linear(LogicalToOutput, QPointF(1, 0));
    const double axisAngle = std::atan2(xAxis.y(), std::abs(xAxis.x()) > 0 ? std::abs(xAxis.x()) : 1e-9);
    const double angle = axisAngle - Dc.Font.Escapement / 10.0 * std::numbers::pi / 180;
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
        run.Text = QString::fromStdU16String(text);
        run.Font = font;
        run.Color = Dc.TextColor;
        run.Angle = angle * 180 / std::numbers::pi;
        run.GlyphIndexes = (options & ETO_GLYPH_INDEX) != 0;
        QPointF at = start;
        for (const QPointF& s : steps) {
            run.Positions.push_back(at);
            at += s;
        }
        ApplyClip();
        Device.DrawText(run);
    }
    Dc.Clip = savedClip;
}

}  // namespace qrp::emf
