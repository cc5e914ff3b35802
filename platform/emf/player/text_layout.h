#pragma once
// The words of a page: characters as the text device placed them, joined into
// words and lines in reading order. A line is the characters on one baseline
// band at one angle, so every cell of a table row (a right-aligned amount
// too) lands in the row's line; lines run top to bottom, words left to right.

#include <vector>

#include <QRectF>
#include <QString>

namespace qrp::emf {

// One character as drawn, in device units.
struct TPlacedGlyph {
    QString Text;         // one character (a surrogate pair stays together); U+FFFD when unknown
    QPointF Origin;       // on the baseline
    double Width = 0;     // the font's advance of the character, along the baseline
    double Ascent = 0;    // the font's, above the baseline
    double Descent = 0;   // and below it
    double FontSize = 0;  // pixel size
    double Angle = 0;     // degrees clockwise, as TTextRun::Angle
    bool Space = false;   // white space: it parts words and belongs to none
    bool Unknown = false; // given only as a glyph index of a font we do not have
    bool Clipped = false; // the clip hides it
    bool Outside = false; // it lies beyond the page

    // The bounding box of the character's cell: ascent to descent, its advance wide.
    QRectF Box() const;
};

struct TTextWord {
    QString Text;
    QRectF Box;             // device units
    double FontSize = 0;    // the largest of its characters, in device pixels
    bool Clipped = false;   // some of its characters are hidden by the clip
    bool Outside = false;   // some lie beyond the page
    bool Unknown = false;   // some were given only as glyph indexes
};

struct TTextLine {
    std::vector<TTextWord> Words;
    QRectF Box;
    double Angle = 0;

    // The words joined by single spaces.
    QString Text() const;
};

struct TPageText {
    std::vector<TTextLine> Lines;

    // The lines joined by line ends, without a final one.
    QString PlainText() const;
    // The lines with their words placed in character cells by position, so
    // that table columns stay aligned under each other.
    QString LayoutText() const;
};

// Joins the glyphs into words and lines in reading order.
TPageText AssembleText(const std::vector<TPlacedGlyph>& glyphs);

}  // namespace qrp::emf
