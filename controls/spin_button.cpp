#include "controls/spin_button.h"

#include <QImage>

#include "controls/flat_speed_button.h"

namespace qrp {
namespace {

constexpr int GlyphSize = 5;
constexpr int GlyphMargin = 2;

// A black triangle in 5 × 5 pixels, rows 1, 3 and 5 pixels wide from its
// tip, with an empty row above and below; the rest is transparent.
QImage ArrowGlyph(bool pointsUp)
{
    QImage glyph(GlyphSize, GlyphSize, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    for (int step = 0; step < 3; ++step) {
        const int row = pointsUp ? 1 + step : 3 - step;
        for (int x = 2 - step; x <= 2 + step; ++x)
            glyph.setPixelColor(x, row, Qt::black);
    }
    return glyph;
}

}  // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent), Up(new TTimerSpeedButton(this)), Down(new TTimerSpeedButton(this))
{
    setFocusPolicy(Qt::NoFocus);
    Up->SetGlyph(ArrowGlyph(true), blGlyphTop, GlyphMargin);
    Down->SetGlyph(ArrowGlyph(false), blGlyphBottom, GlyphMargin);
    Up->OnPress = [this](TFlatSpeedButton*) { TakeFocus(); };
    Down->OnPress = [this](TFlatSpeedButton*) { TakeFocus(); };
    Up->OnClick = [this](TFlatSpeedButton*) {
        if (OnUpClick)
            OnUpClick(this);
    };
    Down->OnClick = [this](TFlatSpeedButton*) {
        if (OnDownClick)
            OnDownClick(this);
    };
    resize(DefaultWidth, 20);
    PlaceButtons();
}

void TSpinButton::SetColor(const QColor& color)
{
    if (palette().color(QPalette::Window) == color)
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

void TSpinButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceButtons();
}

void TSpinButton::PlaceButtons()
{
    Up->setGeometry(0, 0, ButtonWidth, height());
    Down->setGeometry(DownButtonLeft, 0, ButtonWidth, height());
}

// The focus goes to the edit the buttons serve, or else to the buttons
// themselves when they take the focus by tab.
void TSpinButton::TakeFocus()
{
    if (FocusControl != nullptr && FocusControl->focusPolicy() != Qt::NoFocus && FocusControl->isEnabled()) {
        if (!FocusControl->hasFocus())
            FocusControl->setFocus(Qt::OtherFocusReason);
    } else if ((focusPolicy() & Qt::TabFocus) != 0 && !hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace qrp
