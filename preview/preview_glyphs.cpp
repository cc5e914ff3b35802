#include "preview/preview_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace qrp {

namespace {
const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kAccent(0, 0, 128);
const QColor kGrey(128, 128, 128);
const QColor kFolder(224, 192, 64);

// A sheet of paper with a few lines of text.
void DrawSheet(QPainter& p, const QRect& sheet)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(sheet);
    p.setPen(kGrey);
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

// A printer: paper coming out of a grey body.
void DrawPrinter(QPainter& p)
{
    DrawSheet(p, QRect(4, 1, 7, 6));
    p.setPen(kInk);
    p.setBrush(kGrey);
    p.drawRect(QRect(1, 7, 13, 5));
    p.setBrush(kPaper);
    p.drawRect(QRect(4, 11, 7, 3));
}

// A diskette with its label and shutter.
void DrawDiskette(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kAccent);
    p.drawRect(QRect(1, 1, 13, 13));
    p.fillRect(QRect(4, 2, 8, 5), kPaper);
    p.fillRect(QRect(5, 10, 6, 4), kGrey);
}

// An open folder.
void DrawFolder(QPainter& p)
{
    p.setPen(kInk);
    p.setBrush(kFolder);
    p.drawRect(QRect(1, 4, 11, 9));
    p.fillRect(QRect(2, 3, 4, 1), kFolder);
    QPainterPath front;
    front.moveTo(1, 13);
    front.lineTo(4, 7);
    front.lineTo(15, 7);
    front.lineTo(12, 13);
    front.closeSubpath();
    p.drawPath(front);
}
}  // namespace

QPixmap PreviewGlyph(TPreviewGlyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (glyph) {
    case TPreviewGlyph::WholePage:
        DrawSheet(p, QRect(4, 1, 8, 13));
        break;
    case TPreviewGlyph::Zoom100:
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
    case TPreviewGlyph::PageWidth:
        DrawSheet(p, QRect(1, 3, 13, 10));
        p.setPen(kAccent);
        p.drawLine(0, 15, 15, 15);
        break;
    case TPreviewGlyph::FirstPage:
        DrawBar(p, 3);
        DrawArrow(p, 6, -1);
        break;
    case TPreviewGlyph::PreviousPage:
        DrawArrow(p, 5, -1);
        break;
    case TPreviewGlyph::NextPage:
        DrawArrow(p, 11, 1);
        break;
    case TPreviewGlyph::LastPage:
        DrawArrow(p, 10, 1);
        DrawBar(p, 11);
        break;
    case TPreviewGlyph::PrinterSetup:
        DrawPrinter(p);
        // A check mark over the printer: its settings.
        p.setPen(QPen(kAccent, 2));
        p.drawLine(9, 4, 11, 6);
        p.drawLine(11, 6, 15, 1);
        break;
    case TPreviewGlyph::Print:
        DrawPrinter(p);
        break;
    case TPreviewGlyph::Save:
        DrawDiskette(p);
        break;
    case TPreviewGlyph::Load:
        DrawFolder(p);
        break;
    }
    return pixmap;
}

}  // namespace qrp
