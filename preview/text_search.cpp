#include "preview/text_search.h"

#include <algorithm>
#include <cmath>

#include <QList>

#include "preview/page_text_cache.h"

namespace qrp {

namespace {
bool IsMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// Texts whose angle lies within this many degrees of a right angle run along an axis.
constexpr double kAxisTolerance = 0.5;

// 0, 90, 180 or 270 for text along an axis (degrees clockwise), −1 otherwise.
int AxisAngle(double angle)
{
    const double turned = std::fmod(std::fmod(angle, 360) + 360, 360);
    for (int axis : {0, 90, 180, 270, 360})
        if (std::abs(turned - axis) <= kAxisTolerance)
            return axis % 360;
    return -1;
}

// Where the query's folded characters [from, to) fall in the original text.
std::pair<qsizetype, qsizetype> OriginalRange(const TFoldedText& folded, qsizetype from, qsizetype to)
{
    return {folded.Source[static_cast<std::size_t>(from)], folded.Source[static_cast<std::size_t>(to - 1)] + 1};
}
}  // namespace

TFoldedText FoldForSearch(QStringView text)
{
    TFoldedText folded;
    folded.Text.reserve(text.size());
    folded.Source.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype at = 0; at < text.size();) {
        const QChar unit = text[at];
        // Plain ASCII needs neither decomposition nor Unicode case folding.
        if (unit.unicode() < 0x80) {
            folded.Text += unit.toLower();
            folded.Source.push_back(at);
            ++at;
            continue;
        }
        const qsizetype units = unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
        const QString decomposed =
            text.mid(at, units).toString().normalized(QString::NormalizationForm_D).toCaseFolded();
        for (const char32_t c : decomposed.toUcs4()) {
            if (IsMark(c))
                continue;
            const char16_t pair[2] = {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
            if (QChar::requiresSurrogates(c)) {
                folded.Text.append(QStringView(pair, 2));
                folded.Source.push_back(at);
                folded.Source.push_back(at);
            } else {
                folded.Text += QChar(c);
                folded.Source.push_back(at);
            }
        }
        at += units;
    }
    return folded;
}

QString FoldedQuery(const QString& typed) { return FoldForSearch(typed.simplified()).Text; }

QRectF CharactersBox(const emf::TTextWord& word, double angle, qsizetype first, qsizetype last)
{
    const double characters = static_cast<double>(word.Text.size());
    const int axis = AxisAngle(angle);
    if (axis < 0 || characters <= 0 || (first <= 0 && last >= word.Text.size()))
        return word.Box;
    const double start = std::clamp<double>(static_cast<double>(first), 0, characters) / characters;
    const double end = std::clamp<double>(static_cast<double>(last), 0, characters) / characters;
    const QRectF& box = word.Box;
    switch (axis) {
    case 0:  // left to right
        return {box.left() + box.width() * start, box.top(), box.width() * (end - start), box.height()};
    case 180:  // upside down: right to left
        return {box.right() - box.width() * end, box.top(), box.width() * (end - start), box.height()};
    case 90:  // turned clockwise: top to bottom
        return {box.left(), box.top() + box.height() * start, box.width(), box.height() * (end - start)};
    default:  // turned anticlockwise: bottom to top
        return {box.left(), box.bottom() - box.height() * end, box.width(), box.height() * (end - start)};
    }
}

std::vector<TTextHit> FindOnPage(const TPageTextEntry& page, std::int32_t pageNumber, const QString& foldedQuery)
{
    std::vector<TTextHit> hits;
    if (foldedQuery.isEmpty())
        return hits;
    for (std::size_t lineIndex = 0; lineIndex < page.Text.Lines.size(); ++lineIndex) {
        const emf::TTextLine& line = page.Text.Lines[lineIndex];
        // The line as one text, each word's start in it remembered.
        QString joined;
        std::vector<qsizetype> starts;
        for (const emf::TTextWord& word : line.Words) {
            if (!joined.isEmpty())
                joined += QLatin1Char(' ');
            starts.push_back(joined.size());
            joined += word.Text;
        }
        const TFoldedText folded = FoldForSearch(joined);
        for (qsizetype at = folded.Text.indexOf(foldedQuery); at >= 0;
             at = folded.Text.indexOf(foldedQuery, at + foldedQuery.size())) {
            const auto [first, last] = OriginalRange(folded, at, at + foldedQuery.size());
            TTextHit hit;
            hit.Page = pageNumber;
            hit.Line = static_cast<std::int32_t>(lineIndex);
            for (std::size_t w = 0; w < line.Words.size(); ++w) {
                const qsizetype wordStart = starts[w];
                const qsizetype wordEnd = wordStart + line.Words[w].Text.size();
                if (wordEnd <= first || wordStart >= last)
                    continue;
                const qsizetype from = std::max(first, wordStart) - wordStart;
                const qsizetype to = std::min(last, wordEnd) - wordStart;
                hit.Boxes.push_back(page.Fraction(CharactersBox(line.Words[w], line.Angle, from, to)));
            }
            // A hit of spaces only covers no word and shows nowhere.
            if (!hit.Boxes.empty())
                hits.push_back(std::move(hit));
        }
    }
    return hits;
}

}  // namespace qrp
