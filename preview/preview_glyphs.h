#pragma once
// The preview windows' tool bar glyphs, 16 × 16 pixels, drawn in code: zoom,
// page navigation, printing and report files.

#include <QPixmap>

namespace qrp {

enum class TPreviewGlyph {
    WholePage, Zoom100, PageWidth, FirstPage, PreviousPage, NextPage, LastPage, PrinterSetup, Print, Save, Load
};

QPixmap PreviewGlyph(TPreviewGlyph glyph);

}  // namespace qrp
