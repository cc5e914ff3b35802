#include "controls/gauge_status_bar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include "controls/status_panel_drawing.h"

namespace qrp {

TGaugeStatusBar::TGaugeStatusBar(QWidget* parent)
    : QStatusBar(parent),
      BarColor(palette().color(QPalette::Button)),
      TextColor(palette().color(QPalette::WindowText))
{
    setSizeGripEnabled(false);
    setFixedHeight(DefaultHeight);
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(QToolTip::font());
}

void TGaugeStatusBar::SetColor(const QColor& color)
{
    if (color == BarColor)
        return;
    BarColor = color;
    update();
}

void TGaugeStatusBar::SetFontColor(const QColor& color)
{
    if (color == TextColor)
        return;
    TextColor = color;
    update();
}

void TGaugeStatusBar::SetUseSystemFont(bool useSystemFont)
{
    SystemFont = useSystemFont;
    if (SystemFont)
        setFont(QToolTip::font());
}

QRect TGaugeStatusBar::PartRect(int index) const
{
    const int parts = std::min(PanelList.Count(), MaxParts);
    if (index < 0 || index >= parts)
        return {};
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += PanelList[i].Width();
    const int right = index == parts - 1 ? width() : left + PanelList[index].Width();
    return QRect(left, 0, right - left, height());
}

void TGaugeStatusBar::PartsChanged()
{
    update();
}

// Drawn at once through a synchronous paint of the part alone; a hidden bar
// draws when it is shown.
void TGaugeStatusBar::RedrawPart(int index)
{
    const QRect part = PartRect(index);
    if (isVisible() && !part.isEmpty())
        repaint(part);
}

void TGaugeStatusBar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), BarColor);
    for (int i = 0; i < PanelList.Count(); ++i) {
        const QRect part = PartRect(i);
        if (part.isEmpty() || !event->region().intersects(part))
            continue;
        DrawBevel(painter, part, PanelList[i].Bevel());
        DrawPanel(painter, PanelList[i], part);
    }
}

// A one-pixel frame: shadow above and left with light below and right when
// lowered, the reverse when raised.
void TGaugeStatusBar::DrawBevel(QPainter& painter, const QRect& part, TStatusPanelBevel bevel) const
{
    if (bevel == pbNone)
        return;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QColor& topLeft = bevel == pbLowered ? shadow : light;
    const QColor& bottomRight = bevel == pbLowered ? light : shadow;
    painter.fillRect(part.left(), part.top(), part.width() - 1, 1, topLeft);
    painter.fillRect(part.left(), part.top(), 1, part.height() - 1, topLeft);
    painter.fillRect(part.left(), part.bottom(), part.width(), 1, bottomRight);
    painter.fillRect(part.right(), part.top(), 1, part.height(), bottomRight);
}

// The panel's inside, one pixel within the bevel, composed off-screen and
// copied in one step.
void TGaugeStatusBar::DrawPanel(QPainter& painter, const TGaugeStatusPanel& panel, const QRect& part) const
{
    const QRect inside = part.adjusted(1, 1, -1, -1);
    if (inside.isEmpty())
        return;
    const TPanelLook look{font(), BarColor, TextColor, isEnabled(), devicePixelRatioF()};
    painter.drawPixmap(inside.topLeft(), ComposePanel(panel, inside.size(), look));
}

void TGaugeStatusBar::changeEvent(QEvent* event)
{
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitPanels();
}

void TGaugeStatusBar::showEvent(QShowEvent* event)
{
    QStatusBar::showEvent(event);
    FitPanels();
}

void TGaugeStatusBar::FitPanels()
{
    for (int i = 0; i < PanelList.Count(); ++i)
        PanelList[i].FitWidth();
}

}  // namespace qrp
