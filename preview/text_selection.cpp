#include "preview/text_selection.h"

#include "preview/page_text_cache.h"

namespace qrp {

namespace {
const emf::TTextWord* Word(const TPageTextEntry& page, const TWordRef& ref)
{
    if (ref.Line < 0 || static_cast<std::size_t>(ref.Line) >= page.Text.Lines.size())
        return nullptr;
    const emf::TTextLine& line = page.Text.Lines[static_cast<std::size_t>(ref.Line)];
    if (ref.Word < 0 || static_cast<std::size_t>(ref.Word) >= line.Words.size())
        return nullptr;
    return &line.Words[static_cast<std::size_t>(ref.Word)];
}

template <typename Wanted>
std::vector<TWordRef> WordsWhere(const TPageTextEntry& page, Wanted&& wanted)
{
    std::vector<TWordRef> words;
    for (std::size_t l = 0; l < page.Text.Lines.size(); ++l) {
        const auto& line = page.Text.Lines[l];
        for (std::size_t w = 0; w < line.Words.size(); ++w)
            if (wanted(line.Words[w]))
                words.push_back({static_cast<std::int32_t>(l), static_cast<std::int32_t>(w)});
    }
    return words;
}
}  // namespace

std::vector<TWordRef> WordsTouched(const TPageTextEntry& page, const QRectF& area)
{
    const QRectF touched = area.normalized();
    return WordsWhere(page, [&](const emf::TTextWord& word) { return page.Fraction(word.Box).intersects(touched); });
}

std::vector<TWordRef> AllWords(const TPageTextEntry& page)
{
    return WordsWhere(page, [](const emf::TTextWord&) { return true; });
}

QString WordsText(const TPageTextEntry& page, const std::vector<TWordRef>& words)
{
    QString text;
    const TWordRef* previous = nullptr;
    for (const TWordRef& ref : words) {
        const emf::TTextWord* word = Word(page, ref);
        if (!word)
            continue;
        if (previous)
            text += previous->Line == ref.Line ? QLatin1Char(' ') : QLatin1Char('\n');
        text += word->Text;
        previous = &ref;
    }
    return text;
}

std::vector<QRectF> WordBoxes(const TPageTextEntry& page, const std::vector<TWordRef>& words)
{
    std::vector<QRectF> boxes;
    for (const TWordRef& ref : words)
        if (const emf::TTextWord* word = Word(page, ref))
            boxes.push_back(page.Fraction(word->Box));
    return boxes;
}

}  // namespace qrp
