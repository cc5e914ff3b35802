#include "app/toolbar_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace qrp {

namespace {
const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kAccent(0, 0, 128);

// A sheet of paper with a folded corner and a few lines of text.
void DrawSheet(QPainter& p, const QRect& sheet)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(sheet);
    p.setPen(QColor(128, 128, 128));
    for (int y = sheet.top() + 3; y < sheet.bottom() - 1; y += 2)
        p.drawLine(sheet.left() + 2, y, sheet.right() - 2, y);
}

// A filled triangle pointing left (dx < 0) or right, with its tip at x.
void DrawArrow(QPainter& p, int x, int dx)
{
    QPainterPath arrow;
    arrow.moveTo(x, 8);
    arrow.lineTo(x - 5 * dx, 3);
    arrow.lineTo(x - 5 * dx, 13);
    arrow.closeSubpath();
    p.fillPath(arrow, kAccent);
}

void DrawBar(QPainter& p, int x) { p.fillRect(QRect(x, 3, 2, 11), kAccent); }
}  // namespace

QPixmap ViewerGlyph(TViewerGlyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (glyph) {
    case TViewerGlyph::WholePage:
        DrawSheet(p, QRect(4, 1, 8, 13));
        break;
    case TViewerGlyph::Zoom100: {
        // A magnifying glass.
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawEllipse(QRect(1, 1, 9, 9));
        p.setPen(QPen(kAccent, 2));
        p.drawLine(9, 9, 14, 14);
        p.setPen(kInk);
        p.drawLine(4, 5, 7, 5);
        p.drawLine(5, 4, 5, 7);
        break;
    }
    case TViewerGlyph::PageWidth:
        DrawSheet(p, QRect(1, 3, 13, 10));
        p.setPen(kAccent);
        p.drawLine(0, 15, 15, 15);
        break;
    case TViewerGlyph::FirstPage:
        DrawBar(p, 3);
        DrawArrow(p, 6, -1);
        break;
    case TViewerGlyph::PreviousPage:
        DrawArrow(p, 5, -1);
        break;
    case TViewerGlyph::NextPage:
        DrawArrow(p, 11, 1);
        break;
    case TViewerGlyph::LastPage:
        DrawArrow(p, 10, 1);
        DrawBar(p, 11);
        break;
    }
    return pixmap;
}

}  // namespace qrp
