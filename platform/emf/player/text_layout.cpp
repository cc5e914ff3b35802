#include "platform/emf/player/text_layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include <QPolygonF>

namespace qrp::emf {

namespace {
// Baselines closer than this share of the font size are one line: cells of a
// table row centred with slightly different fonts still meet.
constexpr double kBandShare = 0.3;
// A gap along the baseline wider than this share of the font size parts two
// words; a space in the fonts reports use is about 0.28 of it, letter
// spacing stays below.
constexpr double kWordGapShare = 0.2;
// The same character again within this share of the font size is the same
// glyph drawn twice (bold made by overprinting), kept once.
constexpr double kDuplicateShare = 0.1;
// Texts whose angles differ by less than this (degrees) run the same way.
constexpr double kAngleStep = 0.5;
// In layout text, words closer than this share of the font size are running
// text and follow each other after one space; further apart they are placed
// by position, as the columns of a table.
constexpr double kRunningTextGapShare = 1.0;
// Layout text places no word further right than this many character cells:
// text far beyond the page must not make lines of millions of spaces.
constexpr qsizetype kMaxLayoutColumn = 1000;

QPointF Direction(double degrees)
{
    const double radians = degrees * std::numbers::pi / 180;
    return {std::cos(radians), std::sin(radians)};
}

double Dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }

int AngleKey(double degrees)
{
    const int steps = static_cast<int>(std::lround(360 / kAngleStep));
    const long key = std::lround(degrees / kAngleStep) % steps;
    return static_cast<int>(key < 0 ? key + steps : key);
}

// A glyph in the frame of its text's direction: U along the baseline, V down across it.
struct TOriented {
    const TPlacedGlyph* Glyph;
    double U;
    double V;
};

void AddToWord(TTextWord& word, const TPlacedGlyph& glyph)
{
    word.Text += glyph.Text;
    word.Box = word.Box.united(glyph.Box());
    word.FontSize = std::max(word.FontSize, glyph.FontSize);
    word.Clipped |= glyph.Clipped;
    word.Outside |= glyph.Outside;
    word.Unknown |= glyph.Unknown;
}

// One baseline band, its glyphs in order along the baseline, as a line of words.
TTextLine WordsOf(const std::vector<TOriented>& band, double angle)
{
    TTextLine line;
    line.Angle = angle;
    TTextWord word;
    const TOriented* previous = nullptr;  // the last glyph kept, spaces included
    const auto finishWord = [&] {
        if (!word.Text.isEmpty()) {
            line.Box = line.Box.united(word.Box);
            line.Words.push_back(std::move(word));
        }
        word = TTextWord();
    };
    for (const TOriented& g : band) {
        const TPlacedGlyph& glyph = *g.Glyph;
        if (previous) {
            const double size = std::max(glyph.FontSize, previous->Glyph->FontSize);
            if (glyph.Text == previous->Glyph->Text && std::abs(g.U - previous->U) < kDuplicateShare * size &&
                std::abs(g.V - previous->V) < kDuplicateShare * size)
                continue;
            if (g.U - (previous->U + previous->Glyph->Width) > kWordGapShare * size)
                finishWord();
        }
        previous = &g;
        if (glyph.Space)
            finishWord();
        else
            AddToWord(word, glyph);
    }
    finishWord();
    return line;
}

// The lines of glyphs that run one way: banded by baseline, ordered along it.
void AddLinesOfDirection(std::vector<const TPlacedGlyph*> glyphs, std::vector<TTextLine>& lines)
{
    const double angle = glyphs.front()->Angle;
    const QPointF along = Direction(angle);
    const QPointF down(-along.y(), along.x());
    std::vector<TOriented> oriented;
    oriented.reserve(glyphs.size());
    for (const TPlacedGlyph* glyph : glyphs)
        oriented.push_back({glyph, Dot(glyph->Origin, along), Dot(glyph->Origin, down)});
    std::stable_sort(oriented.begin(), oriented.end(), [](const TOriented& a, const TOriented& b) { return a.V < b.V; });

    std::size_t first = 0;
    while (first < oriented.size()) {
        const TOriented& anchor = oriented[first];
        std::size_t end = first + 1;
        while (end < oriented.size() &&
               oriented[end].V - anchor.V <=
                   kBandShare * std::max(1.0, std::min(anchor.Glyph->FontSize, oriented[end].Glyph->FontSize)))
            ++end;
        std::vector<TOriented> band(oriented.begin() + static_cast<std::ptrdiff_t>(first),
                                    oriented.begin() + static_cast<std::ptrdiff_t>(end));
        std::stable_sort(band.begin(), band.end(), [](const TOriented& a, const TOriented& b) { return a.U < b.U; });
        TTextLine line = WordsOf(band, angle);
        if (!line.Words.empty())
            lines.push_back(std::move(line));
        first = end;
    }
}

// The width of a character cell for layout text: the median of the words'
// average character widths (half the font size for turned words, whose boxes
// stand across the page).
double CellWidth(const std::vector<TTextLine>& lines)
{
    std::vector<double> widths;
    for (const TTextLine& line : lines)
        for (const TTextWord& word : line.Words)
            widths.push_back(line.Angle == 0 ? word.Box.width() / static_cast<double>(word.Text.size())
                                             : word.FontSize / 2);
    if (widths.empty())
        return 1;
    const auto middle = widths.begin() + static_cast<std::ptrdiff_t>(widths.size() / 2);
    std::nth_element(widths.begin(), middle, widths.end());
    return std::max(*middle, 0.01);
}
}  // namespace

QRectF TPlacedGlyph::Box() const
{
    if (Angle == 0)
        return QRectF(Origin.x(), Origin.y() - Ascent, Width, Ascent + Descent);
    const QPointF along = Direction(Angle);
    const QPointF down(-along.y(), along.x());
    const QPointF top = Origin - down * Ascent;
    const QPointF bottom = Origin + down * Descent;
    return QPolygonF({top, top + along * Width, bottom + along * Width, bottom}).boundingRect();
}

QString TTextLine::Text() const
{
    QString text;
    for (const TTextWord& word : Words) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += word.Text;
    }
    return text;
}

QString TPageText::PlainText() const
{
    QStringList texts;
    for (const TTextLine& line : Lines)
        texts.push_back(line.Text());
    return texts.join(QLatin1Char('\n'));
}

QString TPageText::LayoutText() const
{
    const double cell = CellWidth(Lines);
    double left = 0;
    for (std::size_t i = 0; i < Lines.size(); ++i)
        left = i == 0 ? Lines[i].Box.left() : std::min(left, Lines[i].Box.left());
    QStringList texts;
    for (const TTextLine& line : Lines) {
        QString text;
        const TTextWord* previous = nullptr;
        for (const TTextWord& word : line.Words) {
            const double wanted = std::clamp((word.Box.left() - left) / cell, 0.0, static_cast<double>(kMaxLayoutColumn));
            qsizetype column = std::lround(wanted);
            if (previous) {
                const double gap = word.Box.left() - previous->Box.right();
                const bool running = line.Angle != 0 ||
                                     gap < kRunningTextGapShare * std::max(word.FontSize, previous->FontSize);
                column = running ? text.size() + 1 : std::max(column, text.size() + 1);
            }
            text += QString(column - text.size(), QLatin1Char(' ')) + word.Text;
            previous = &word;
        }
        texts.push_back(text);
    }
    return texts.join(QLatin1Char('\n'));
}

TPageText AssembleText(const std::vector<TPlacedGlyph>& glyphs)
{
    std::map<int, std::vector<const TPlacedGlyph*>> byDirection;
    for (const TPlacedGlyph& glyph : glyphs)
        byDirection[AngleKey(glyph.Angle)].push_back(&glyph);
    TPageText page;
    for (auto& [key, direction] : byDirection)
        AddLinesOfDirection(std::move(direction), page.Lines);
    std::stable_sort(page.Lines.begin(), page.Lines.end(), [](const TTextLine& a, const TTextLine& b) {
        return a.Box.top() != b.Box.top() ? a.Box.top() < b.Box.top() : a.Box.left() < b.Box.left();
    });
    return page;
}

}  // namespace qrp::emf
