#pragma once
// Selecting words on a page: the words an area touches, every word of the
// page, and the selected words as text to copy, in reading order (lines top
// to bottom joined by line ends, words in a line joined by spaces).

#include <cstdint>
#include <vector>

#include <QRectF>
#include <QString>

namespace qrp {

struct TPageTextEntry;

// A word of a page: its line and its place in the line.
struct TWordRef {
    std::int32_t Line = 0;
    std::int32_t Word = 0;
    friend bool operator==(const TWordRef&, const TWordRef&) = default;
};

// The words whose boxes area (fractions of the page's width and height) touches, in reading order.
std::vector<TWordRef> WordsTouched(const TPageTextEntry& page, const QRectF& area);
// Every word of the page in reading order.
std::vector<TWordRef> AllWords(const TPageTextEntry& page);
// The words as text, in the order given: those of one line joined by spaces,
// a line end where the line changes. References to no word are skipped.
QString WordsText(const TPageTextEntry& page, const std::vector<TWordRef>& words);
// The words' boxes as fractions of the page.
std::vector<QRectF> WordBoxes(const TPageTextEntry& page, const std::vector<TWordRef>& words);

}  // namespace qrp
