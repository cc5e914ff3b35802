#pragma once
// The viewer's status bar: a row of parts, each drawn by its panel (text or a
// progress gauge) in an off-screen pixmap and copied onto the bar in one step.
// The parts end at the running sum of the panels' widths; the last part runs
// to the right end of the bar whatever its width.

#include <QColor>
#include <QStatusBar>

#include "controls/gauge_status_panel.h"

namespace qrp {

class TGaugeStatusBar : public QStatusBar {
public:
    static constexpr int DefaultHeight = 19;
    static constexpr int MaxParts = 128;

    explicit TGaugeStatusBar(QWidget* parent = nullptr);

    TGaugeStatusPanels& Panels() { return PanelList; }
    const TGaugeStatusPanels& Panels() const { return PanelList; }

    // The colour behind all panels (the button face by default).
    QColor Color() const { return BarColor; }
    void SetColor(const QColor& color);
    // The colour of panel text outside a gauge's bar.
    QColor FontColor() const { return TextColor; }
    void SetFontColor(const QColor& color);
    // While true the bar uses the system's tooltip font.
    bool UseSystemFont() const { return SystemFont; }
    void SetUseSystemFont(bool useSystemFont);

    // The part of the panel at index, bevel included; empty when the panel
    // has no part (beyond MaxParts).
    QRect PartRect(int index) const;

    // For the panels: their parts' widths changed, or one of them must be
    // drawn again at once.
    void PartsChanged();
    void RedrawPart(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void DrawBevel(QPainter& painter, const QRect& part, TStatusPanelBevel bevel) const;
    void DrawPanel(QPainter& painter, const TGaugeStatusPanel& panel, const QRect& part) const;
    void FitPanels();

    TGaugeStatusPanels PanelList{*this};
    QColor BarColor;
    QColor TextColor;
    bool SystemFont = true;
};

}  // namespace qrp
