#pragma once
// The panels of the gauge status bar: what each one shows, its width and look,
// and for gauge panels the settings of the progress gauge. A property change
// redraws only its own panel, at once.

#include <QColor>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace qrp {

class TGaugeStatusBar;
class TGaugeStatusPanel;

// Only sptNormal (text) and sptGauge are drawn; the other types show their
// background.
enum TStatusPanelType : std::uint8_t {
    sptNormal, sptCapsLock, sptNumLock, sptScrollLock, sptDate, sptTime, sptDateTime, sptTimeDate,
    sptEllipsisText, sptEllipsisPath, sptGlyph, sptGauge, sptOwnerDraw
};
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TStatusPanelBevel : std::uint8_t { pbNone, pbLowered, pbRaised };
// Only gsPercent is drawn; the animated styles show the background.
enum TGaugeStyle : std::uint8_t { gsPercent = 0, gsIndeterminate = 1, gsIndeterminate2 = 2 };
// A completed percentage, meant for 0..100; larger values are drawn as given.
using TPercent = std::uint8_t;

class TGaugeAttrs {
public:
    explicit TGaugeAttrs(TGaugeStatusPanel& panel);

    TGaugeStyle Style() const { return GaugeStyle; }
    void SetStyle(TGaugeStyle style);
    TPercent Position() const { return GaugePosition; }
    void SetPosition(TPercent position);
    int Speed() const { return GaugeSpeed; }
    void SetSpeed(int speed) { GaugeSpeed = speed; }
    QColor Color() const { return BarColor; }
    void SetColor(const QColor& color);
    QColor TextColor() const { return OverBarTextColor; }
    void SetTextColor(const QColor& color);

private:
    TGaugeStatusPanel& Panel;
    TGaugeStyle GaugeStyle = gsPercent;
    TPercent GaugePosition = 0;
    int GaugeSpeed = 4;
    QColor BarColor;
    QColor OverBarTextColor;
};

class TGaugeStatusPanel {
public:
    TGaugeStatusPanel(TGaugeStatusBar& bar, int index);
    TGaugeStatusPanel(const TGaugeStatusPanel&) = delete;
    TGaugeStatusPanel& operator=(const TGaugeStatusPanel&) = delete;

    int Index() const { return PanelIndex; }

    TStatusPanelType PanelType() const { return Type; }
    void SetPanelType(TStatusPanelType type);
    const QString& Text() const { return PanelText; }
    void SetText(const QString& text);
    // The width of the panel's part; an AutoFit panel's follows its text.
    int Width() const { return PartWidth; }
    void SetWidth(int width);
    bool AutoFit() const { return FitsText; }
    void SetAutoFit(bool autoFit);
    bool Enabled() const { return PanelEnabled; }
    void SetEnabled(bool enabled);
    TAlignment Alignment() const { return TextAlignment; }
    void SetAlignment(TAlignment alignment);
    TStatusPanelBevel Bevel() const { return PanelBevel; }
    void SetBevel(TStatusPanelBevel bevel);
    int BorderWidth() const { return InnerMargin; }
    void SetBorderWidth(int borderWidth);

    TGaugeAttrs& GaugeAttrs() { return Gauge; }
    const TGaugeAttrs& GaugeAttrs() const { return Gauge; }

    // Draws the panel onto the bar now, without waiting for a paint request.
    void Redraw();
    // An AutoFit panel takes the width of its text in the bar's font.
    void FitWidth();

private:
    TGaugeStatusBar& Bar;
    int PanelIndex;
    TStatusPanelType Type = sptNormal;
    QString PanelText;
    int PartWidth = 50;
    bool FitsText = false;
    bool PanelEnabled = true;
    TAlignment TextAlignment = taLeftJustify;
    TStatusPanelBevel PanelBevel = pbLowered;
    int InnerMargin = 0;
    TGaugeAttrs Gauge;
};

// The bar's panels in order; each one is created with its part of the bar.
class TGaugeStatusPanels {
public:
    explicit TGaugeStatusPanels(TGaugeStatusBar& bar) : Bar(bar) {}

    TGaugeStatusPanel& Add();
    int Count() const { return static_cast<int>(Items.size()); }
    TGaugeStatusPanel& operator[](int index) { return *Items.at(static_cast<std::size_t>(index)); }
    const TGaugeStatusPanel& operator[](int index) const { return *Items.at(static_cast<std::size_t>(index)); }

private:
    TGaugeStatusBar& Bar;
    std::vector<std::unique_ptr<TGaugeStatusPanel>> Items;
};

}  // namespace qrp
