#include "controls/gauge_status_panel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>

#include "controls/gauge_status_bar.h"

namespace qrp {

TGaugeAttrs::TGaugeAttrs(TGaugeStatusPanel& panel)
    : Panel(panel),
      BarColor(QGuiApplication::palette().color(QPalette::Highlight)),
      OverBarTextColor(QGuiApplication::palette().color(QPalette::HighlightedText))
{
}

void TGaugeAttrs::SetStyle(TGaugeStyle style)
{
    if (style == GaugeStyle)
        return;
    GaugeStyle = style;
    Panel.Redraw();
}

void TGaugeAttrs::SetPosition(TPercent position)
{
    if (position == GaugePosition)
        return;
    GaugePosition = position;
    Panel.Redraw();
}

void TGaugeAttrs::SetColor(const QColor& color)
{
    if (color == BarColor)
        return;
    BarColor = color;
    Panel.Redraw();
}

void TGaugeAttrs::SetTextColor(const QColor& color)
{
    if (color == OverBarTextColor)
        return;
    OverBarTextColor = color;
    Panel.Redraw();
}

TGaugeStatusPanel::TGaugeStatusPanel(TGaugeStatusBar& bar, int index) : Bar(bar), PanelIndex(index), Gauge(*this)
{
}

// A gauge is centred and never fits its width to a text.
void TGaugeStatusPanel::SetPanelType(TStatusPanelType type)
{
    if (type == Type)
        return;
    Type = type;
    if (type == sptGauge || type == sptNormal)
        FitsText = false;
    if (type == sptGauge)
        TextAlignment = taCenter;
    Redraw();
}

void TGaugeStatusPanel::SetText(const QString& text)
{
    if (text == PanelText)
        return;
    PanelText = text;
    Redraw();
    FitWidth();
}

// An AutoFit panel's width follows its text, so a width written to it is not used.
void TGaugeStatusPanel::SetWidth(int width)
{
    if (FitsText || width == PartWidth)
        return;
    PartWidth = width;
    Bar.PartsChanged();
}

void TGaugeStatusPanel::SetAutoFit(bool autoFit)
{
    if (autoFit == FitsText)
        return;
    FitsText = autoFit;
    Redraw();
    FitWidth();
}

void TGaugeStatusPanel::SetEnabled(bool enabled)
{
    if (enabled == PanelEnabled)
        return;
    PanelEnabled = enabled;
    Redraw();
}

void TGaugeStatusPanel::SetAlignment(TAlignment alignment)
{
    if (alignment == TextAlignment)
        return;
    TextAlignment = alignment;
    Redraw();
}

void TGaugeStatusPanel::SetBevel(TStatusPanelBevel bevel)
{
    if (bevel == PanelBevel)
        return;
    PanelBevel = bevel;
    Redraw();
}

void TGaugeStatusPanel::SetBorderWidth(int borderWidth)
{
    if (borderWidth == InnerMargin)
        return;
    InnerMargin = borderWidth;
    Redraw();
    FitWidth();
}

void TGaugeStatusPanel::Redraw()
{
    Bar.RedrawPart(PanelIndex);
}

// The text's width in the bar's font, the inner margin and 6 pixels for the
// bevel and some air.
void TGaugeStatusPanel::FitWidth()
{
    if (!FitsText)
        return;
    const int width = QFontMetrics(Bar.font()).horizontalAdvance(PanelText) + InnerMargin + 6;
    if (width != PartWidth) {
        PartWidth = width;
        Bar.PartsChanged();
    }
    Redraw();
}

TGaugeStatusPanel& TGaugeStatusPanels::Add()
{
    Items.push_back(std::make_unique<TGaugeStatusPanel>(Bar, Count()));
    Bar.PartsChanged();
    return *Items.back();
}

}  // namespace qrp
