#include "platform/emf/player/text_device.h"

#include <cmath>
#include <numbers>

namespace qrp::emf {

namespace {
// The characters at [at, at + units) of text: one, or a surrogate pair.
qsizetype UnitsOfCharacter(const QString& text, qsizetype at, qsizetype end)
{
    return text.at(at).isHighSurrogate() && at + 1 < end && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}
}  // namespace

TTextDevice::TFontMeasures& TTextDevice::MeasuresOf(const QFont& font)
{
    const QString key = font.key();
    auto found = Fonts.find(key);
    if (found == Fonts.end())
        found = Fonts.insert(key, {QFontMetricsF(font), {}});
    return *found;
}

void TTextDevice::DrawText(const TTextRun& run)
{
    const auto count = std::min<qsizetype>(run.Text.size(), static_cast<qsizetype>(run.Positions.size()));
    if (count == 0)
        return;
    TFontMeasures& measures = MeasuresOf(run.Font);
    const QFontMetricsF& metrics = measures.Metrics;
    const double radians = run.Angle * std::numbers::pi / 180;
    const QPointF along(std::cos(radians), std::sin(radians));
    const QPointF down(-along.y(), along.x());
    for (qsizetype i = 0; i < count;) {
        const qsizetype units = run.GlyphIndexes ? 1 : UnitsOfCharacter(run.Text, i, count);
        TPlacedGlyph glyph;
        glyph.Text = run.Text.mid(i, units);
        glyph.Origin = run.Positions[static_cast<std::size_t>(i)];
        glyph.Ascent = metrics.ascent();
        glyph.Descent = metrics.descent();
        glyph.FontSize = run.Font.pixelSize();
        glyph.Angle = run.Angle;
        glyph.Unknown = run.GlyphIndexes;
        const QChar first = glyph.Text.at(0);
        glyph.Space = !glyph.Unknown && (first.isSpace() || first.category() == QChar::Other_Control);
        if (!glyph.Unknown) {
            auto advance = measures.Advances.find(glyph.Text);
            if (advance == measures.Advances.end())
                advance = measures.Advances.insert(glyph.Text, metrics.horizontalAdvance(glyph.Text));
            glyph.Width = *advance;
        } else if (i + 1 < count) {
            // An unknown glyph is as wide as the step to the next one.
            const QPointF step = run.Positions[static_cast<std::size_t>(i + 1)] - glyph.Origin;
            glyph.Width = std::max(0.0, step.x() * along.x() + step.y() * along.y());
        } else {
            glyph.Width = metrics.averageCharWidth();
        }
        // A character counts as hidden when the middle of its cell is.
        const QPointF middle = glyph.Origin + along * (glyph.Width / 2) + down * ((glyph.Descent - glyph.Ascent) / 2);
        glyph.Clipped = Clip && !Clip->contains(middle.toPoint());
        glyph.Outside = !Page.contains(middle);
        Placed.push_back(std::move(glyph));
        i += units;
    }
}

TPageText ExtractText(std::span<const std::uint8_t> bytes, const QRectF& target, const TProblemHandler& onProblem)
{
    TTextDevice device(target);
    PlayEmf(bytes, device, target, onProblem);
    return device.Text();
}

}  // namespace qrp::emf
