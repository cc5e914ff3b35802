#include "controls/status_panel_drawing.h"

#include <QPainter>

#include <algorithm>

#include "controls/gauge_status_panel.h"

namespace qrp {
namespace {

// width × position / 100 to the nearest pixel, halves up (both are never negative).
int GaugeBarWidth(int width, int position)
{
    return (width * position + 50) / 100;
}

Qt::Alignment HorizontalAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    case taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

// One line, vertically centred; "&" is shown as itself, and text longer than
// the rectangle is cut at its edge.
int TextFlags(Qt::Alignment horizontal)
{
    return static_cast<int>(Qt::TextSingleLine | Qt::AlignVCenter | horizontal);
}

void DrawTextPanel(QPainter& painter, QRect area, const TGaugeStatusPanel& panel, const TPanelLook& look)
{
    const Qt::Alignment horizontal = panel.AutoFit() ? Qt::AlignHCenter : HorizontalAlignment(panel.Alignment());
    if (horizontal == Qt::AlignRight)
        area.adjust(0, 0, -1, 0);
    painter.setPen(look.FontColor);
    painter.drawText(area, TextFlags(horizontal), panel.Text());
}

// The bar from the left up to the position's share of the width, and the text
// drawn twice: clipped to the bar in the gauge's text colour and clipped to
// the rest in the font colour, so a character across the bar's end is split.
void DrawPercentGauge(QPainter& painter, const QRect& area, const TGaugeStatusPanel& panel, const TPanelLook& look)
{
    const TGaugeAttrs& gauge = panel.GaugeAttrs();
    // A position above 100 gives a bar past the right edge: the whole width.
    const int barWidth = std::min(GaugeBarWidth(area.width(), gauge.Position()), area.width());
    const QRect bar(area.left(), area.top(), barWidth, area.height());
    const QRect rest(area.left() + barWidth, area.top(), area.width() - barWidth, area.height());
    painter.fillRect(bar, gauge.Color());
    painter.fillRect(rest, look.Color);

    const QString text = panel.Text().isEmpty() ? QString::number(gauge.Position()) + QLatin1Char('%') : panel.Text();
    const int flags = TextFlags(HorizontalAlignment(panel.Alignment()));
    painter.save();
    painter.setClipRect(bar);
    painter.setPen(gauge.TextColor());
    painter.drawText(area, flags, text);
    painter.setClipRect(rest);
    painter.setPen(look.FontColor);
    painter.drawText(area, flags, text);
    painter.restore();
}

}  // namespace

QPixmap ComposePanel(const TGaugeStatusPanel& panel, const QSize& size, const TPanelLook& look)
{
    QPixmap pixmap(size * look.PixelRatio);
    pixmap.setDevicePixelRatio(look.PixelRatio);
    pixmap.fill(look.Color);
    const int margin = panel.BorderWidth();
    const QRect area = QRect(QPoint(0, 0), size).adjusted(margin, margin, -margin, -margin);
    if (!look.Enabled || !panel.Enabled() || area.isEmpty())
        return pixmap;

    QPainter painter(&pixmap);
    painter.setFont(look.Font);
    if (panel.PanelType() == sptNormal)
        DrawTextPanel(painter, area, panel, look);
    else if (panel.PanelType() == sptGauge && panel.GaugeAttrs().Style() == gsPercent)
        DrawPercentGauge(painter, area, panel, look);
    return pixmap;
}

}  // namespace qrp
