#include "controls/flat_edit.h"

#include <QApplication>
#include <QPainter>

namespace qrp {
namespace {

// QLineEdit keeps its text this far inside its contents rectangle.
constexpr int LineEditHorizontalMargin = 2;
constexpr int LineEditVerticalMargin = 1;

}  // namespace

TCustomFlatEdit::TCustomFlatEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextRightReserve(0);
    TakeParentColor();
    UpdateFace();
}

void TCustomFlatEdit::SetColorFocused(const QColor& color)
{
    FocusedColor = color;
    UpdateFace();
}

void TCustomFlatEdit::SetColorBorder(const QColor& color)
{
    RingColor = color;
    update();
}

void TCustomFlatEdit::SetColorFlat(const QColor& color)
{
    FollowsParent = false;
    FlatColor = color;
    UpdateFace();
}

void TCustomFlatEdit::SetParentColor(bool parentColor)
{
    FollowsParent = parentColor;
    TakeParentColor();
}

QColor TCustomFlatEdit::FaceColor() const
{
    return hasFocus() || MouseInside ? FocusedColor : FlatColor;
}

// The text area starts inside the border; QLineEdit adds its own margins to
// the text margins, so they are taken off here.
void TCustomFlatEdit::SetTextRightReserve(int pixels)
{
    setTextMargins(BorderWidth - LineEditHorizontalMargin, BorderWidth - LineEditVerticalMargin,
                   BorderWidth + pixels - LineEditHorizontalMargin, BorderWidth - LineEditVerticalMargin);
}

void TCustomFlatEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    const QRect outer = rect();
    const QRect face = outer.adjusted(1, 1, -1, -1);
    const QRect inside = outer.adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    painter.setClipRegion(QRegion(outer).subtracted(QRegion(inside)));
    painter.fillRect(outer, RingColor);
    painter.fillRect(face, FaceColor());
}

void TCustomFlatEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    UpdateFace();
}

void TCustomFlatEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    UpdateFace();
}

// Hovering counts only while the application has an active window.
void TCustomFlatEdit::enterEvent(QEnterEvent* event)
{
    QLineEdit::enterEvent(event);
    if (QApplication::activeWindow() != nullptr) {
        MouseInside = true;
        UpdateFace();
    }
}

void TCustomFlatEdit::leaveEvent(QEvent* event)
{
    QLineEdit::leaveEvent(event);
    MouseInside = false;
    UpdateFace();
}

void TCustomFlatEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::PaletteChange)
        TakeParentColor();
}

void TCustomFlatEdit::TakeParentColor()
{
    const QWidget* parent = parentWidget();
    if (!FollowsParent || parent == nullptr)
        return;
    const QColor color = parent->palette().color(parent->backgroundRole());
    if (color != FlatColor) {
        FlatColor = color;
        UpdateFace();
    }
}

// The face is also the base QLineEdit paints its background with.
void TCustomFlatEdit::UpdateFace()
{
    const QColor face = FaceColor();
    if (palette().color(QPalette::Base) != face) {
        QPalette colours = palette();
        colours.setColor(QPalette::Base, face);
        setPalette(colours);
    }
    FaceChanged();
    update();
}

}  // namespace qrp
