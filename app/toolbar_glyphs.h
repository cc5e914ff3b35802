#pragma once
// The viewer's tool bar glyphs, 16 × 16 pixels, drawn in code.

#include <QPixmap>

namespace qrp {

enum class TViewerGlyph { WholePage, Zoom100, PageWidth, FirstPage, PreviousPage, NextPage, LastPage };

QPixmap ViewerGlyph(TViewerGlyph glyph);

}  // namespace qrp
