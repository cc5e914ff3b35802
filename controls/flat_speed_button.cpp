#include "controls/flat_speed_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace qrp {
namespace {

const QColor HoverFace(235, 234, 225);
const QColor PressedFace(217, 214, 197);
const QColor IdleFrame(160, 149, 131);
const QColor DisabledGlyph(128, 128, 128);

// The glyph in one colour, keeping its shape.
QImage Tinted(const QImage& glyph, const QColor& colour)
{
    QImage tinted = glyph.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(tinted.rect(), colour);
    return tinted;
}

}  // namespace

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TFlatSpeedButton::SetGlyph(const QImage& glyph, TButtonLayout layout, int margin)
{
    Glyph = glyph;
    Layout = layout;
    Margin = margin;
    update();
}

void TFlatSpeedButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TFlatSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QColor face = palette().color(QPalette::Window);
    if (Pressed())
        face = PressedFace;
    else if (MouseInside && isEnabled())
        face = HoverFace;
    painter.fillRect(rect(), face);
    DrawFrame(painter);
    DrawGlyph(painter);
}

// Idle and disabled: a thin frame. Hovered: raised, white above and left,
// black below and right. Pressed: sunken, the other way round.
void TFlatSpeedButton::DrawFrame(QPainter& painter) const
{
    const QRect box = rect();
    if (!isEnabled() || (!Pressed() && !MouseInside)) {
        painter.setPen(IdleFrame);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        return;
    }
    const QColor topLeft = Pressed() ? Qt::black : Qt::white;
    const QColor bottomRight = Pressed() ? Qt::white : Qt::black;
    painter.fillRect(box.left(), box.top(), box.width() - 1, 1, topLeft);
    painter.fillRect(box.left(), box.top(), 1, box.height() - 1, topLeft);
    painter.fillRect(box.left(), box.bottom(), box.width(), 1, bottomRight);
    painter.fillRect(box.right(), box.top(), 1, box.height(), bottomRight);
}

// A pressed button shows its glyph one pixel right and down; a disabled one
// shows it greyed, engraved over a white copy.
void TFlatSpeedButton::DrawGlyph(QPainter& painter) const
{
    if (Glyph.isNull())
        return;
    QPoint at((width() - Glyph.width()) / 2, Layout == blGlyphTop ? Margin : height() - Margin - Glyph.height());
    if (Pressed())
        at += QPoint(1, 1);
    if (isEnabled()) {
        painter.drawImage(at, Glyph);
    } else {
        painter.drawImage(at + QPoint(1, 1), Tinted(Glyph, Qt::white));
        painter.drawImage(at, Tinted(Glyph, DisabledGlyph));
    }
}

void TFlatSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    MousePressed = true;
    MouseInside = rect().contains(event->position().toPoint());
    update();
    if (OnPress)
        OnPress(this);
}

void TFlatSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!MousePressed)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != MouseInside) {
        MouseInside = inside;
        update();
    }
}

void TFlatSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !MousePressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    MousePressed = false;
    MouseInside = rect().contains(event->position().toPoint());
    update();
    if (MouseInside)
        Click();
}

void TFlatSpeedButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    MouseInside = true;
    update();
}

void TFlatSpeedButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    MouseInside = false;
    update();
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    TFlatSpeedButton::mousePressEvent(event);
    if (!Held())
        return;
    if (Timer == nullptr) {
        Timer = new QTimer(this);
        Timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(Timer, &QTimer::timeout, this, [this] { Repeat(); });
    }
    Timer->start(FirstRepeatMs);
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (Timer != nullptr && event->button() == Qt::LeftButton)
        Timer->stop();
    TFlatSpeedButton::mouseReleaseEvent(event);
}

// Repeats only while the button is held with the mouse over it.
void TTimerSpeedButton::Repeat()
{
    Timer->setInterval(RepeatMs);
    if (Pressed())
        Click();
}

}  // namespace qrp
