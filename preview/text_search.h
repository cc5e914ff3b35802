#pragma once
// Finding a query in a page's words the way the viewer's find bar does:
// without regard to case or diacritics ("ruzicka" finds "Růžička"), within
// one line at a time, the line's words joined by single spaces, so that a
// query may run across words. A hit is the boxes of the characters it
// covers, one box per word, as fractions of the page.

#include <cstdint>
#include <vector>

#include <QRectF>
#include <QString>
#include <QStringView>

#include "platform/emf/player/text_layout.h"

namespace qrp {

struct TPageTextEntry;

// Text folded for comparison: decomposed (NFD), combining marks dropped and
// case folded. Source[i] is the index in the original of the character that
// folded character i comes from.
struct TFoldedText {
    QString Text;
    std::vector<qsizetype> Source;
};

TFoldedText FoldForSearch(QStringView text);

// A query as typed: its runs of white space count as one space, and space at
// its ends counts for nothing. Empty when nothing is left to look for.
QString FoldedQuery(const QString& typed);

struct TTextHit {
    std::int32_t Page = 0;
    std::int32_t Line = 0;          // the line's index on the page
    std::vector<QRectF> Boxes;      // fractions of the page's width and height
};

// The hits of a folded query (FoldedQuery) on one page, in reading order,
// each line searched from its start and each hit after the one before.
std::vector<TTextHit> FindOnPage(const TPageTextEntry& page, std::int32_t pageNumber, const QString& foldedQuery);

// The box of characters [first, last) of a word's text: the word's box
// shared out evenly among its characters along the baseline; the whole box
// for text turned askew, whose box runs along no axis.
QRectF CharactersBox(const emf::TTextWord& word, double angle, qsizetype first, qsizetype last);

}  // namespace qrp
