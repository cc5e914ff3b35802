#include "platform/canvas/canvas_font.h"

#include <algorithm>
#include <numeric>

#include "platform/rounding.h"
#include "platform/text/font_mapping.h"

namespace qrp {

namespace {
// Glyphs larger than this are not asked of the font engine; no page needs them.
constexpr int kMaxPixelSize = 8192;
// The size at which a cell height is turned into a character height.
constexpr int kReferencePixelSize = 1000;

QFontMetricsF MetricsOn(const QFont& font, QPaintDevice* device)
{
    return device ? QFontMetricsF(font, device) : QFontMetricsF(font);
}

QFont FaceOf(const TFont& font)
{
    QFont face(SubstituteFontFamily(font.Name));
    face.setBold((font.Style & fsBold) != 0);
    face.setItalic((font.Style & fsItalic) != 0);
    face.setUnderline((font.Style & fsUnderline) != 0);
    face.setStrikeOut((font.Style & fsStrikeOut) != 0);
    // Characters advance by their own widths, as text records store them.
    face.setKerning(false);
    return face;
}

// Negative heights are character heights; positive ones cell heights (ascent
// plus descent), scaled to a character height by the face's own proportions;
// 0 asks for the default size.
int PixelSizeOf(const TFont& font, QFont face, QPaintDevice* device)
{
    long double pixels = -static_cast<long double>(font.Height);
    if (font.Height == 0)
        pixels = -TFont(font.PixelsPerInch()).Height;
    else if (font.Height > 0) {
        face.setPixelSize(kReferencePixelSize);
        const QFontMetricsF reference = MetricsOn(face, device);
        const qreal cell = reference.ascent() + reference.descent();
        pixels = cell > 0 ? font.Height * static_cast<long double>(kReferencePixelSize) / cell : font.Height;
    }
    return static_cast<int>(std::clamp<std::int64_t>(Round(pixels), 1, kMaxPixelSize));
}

QFont QtFontOf(const TFont& font, QPaintDevice* device)
{
    QFont face = FaceOf(font);
    face.setPixelSize(PixelSizeOf(font, face, device));
    return face;
}
}  // namespace

TCanvasFont::TCanvasFont(const TFont& font, QPaintDevice* device)
    : Source(font), Device(device), QtFont(QtFontOf(font, device)), Metrics(MetricsOn(QtFont, device)),
      AscentPixels(static_cast<int>(Round(Metrics.ascent()))), DescentPixels(static_cast<int>(Round(Metrics.descent())))
{
}

bool TCanvasFont::Describes(const TFont& font, QPaintDevice* device) const
{
    return device == Device && font.SameTypeface(Source);
}

std::vector<int> TCanvasFont::Advances(const QString& text) const
{
    std::vector<int> advances(static_cast<std::size_t>(text.size()), 0);
    long double exact = 0;
    std::int64_t placed = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            exact += Metrics.horizontalAdvance(text.mid(i, 2));  // the pair's advance goes to its first unit
        else if (!c.isSurrogate())
            exact += Metrics.horizontalAdvance(c);
        const std::int64_t next = Round(exact);
        advances[static_cast<std::size_t>(i)] = static_cast<int>(next - placed);
        placed = next;
    }
    return advances;
}

int TCanvasFont::Width(const QString& text) const
{
    const std::vector<int> advances = Advances(text);
    return std::accumulate(advances.begin(), advances.end(), 0);
}

}  // namespace qrp
