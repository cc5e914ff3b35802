#include "controls/flat_spin_edit.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

#include "controls/beep.h"
#include "controls/spin_button.h"

namespace qrp {
namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// An optional sign, then decimal digits, within the 32-bit range.
std::optional<int> ParseInteger(const QString& text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text.front() == QLatin1Char('-');
    if (!text.isEmpty() && (negative || text.front() == QLatin1Char('+')))
        ++i;
    if (i == text.size())
        return std::nullopt;
    const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i]))
            return std::nullopt;
        magnitude = magnitude * 10 + (text[i].unicode() - '0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool IsControlCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

}  // namespace

TFlatSpinEditInteger::TFlatSpinEditInteger(QWidget* parent) : TCustomFlatEdit(parent), Spin(new TSpinButton(this))
{
    setText(QStringLiteral("0"));
    // The text never runs under the buttons: it ends 3 pixels before them.
    SetTextRightReserve(TSpinButton::DefaultWidth + 3);
    Spin->FocusControl = this;
    Spin->OnUpClick = [this](TSpinButton*) { UpClick(); };
    Spin->OnDownClick = [this](TSpinButton*) { DownClick(); };
    QObject::connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
    setMinimumHeight(SmallestHeight());
    resize(DefaultWidth, DefaultHeight);
    PlaceSpinButton();
    FaceChanged();
}

int TFlatSpinEditInteger::Value() const
{
    return ParseInteger(text()).value_or(MinValue);
}

void TFlatSpinEditInteger::SetValue(int value)
{
    const QString clamped = QString::number(Clamped(value));
    if (clamped != text())
        setText(clamped);
}

// Equal limits mean no limits.
int TFlatSpinEditInteger::Clamped(int value) const
{
    if (MinValue == MaxValue)
        return value;
    if (value < MinValue)
        return MinValue;
    return value > MaxValue ? MaxValue : value;
}

// A step past the 32-bit range stops at its end.
void TFlatSpinEditInteger::UpClick()
{
    if (isReadOnly()) {
        Beep();
        return;
    }
    const std::int64_t stepped = std::int64_t{Value()} + Increment;
    SetValue(static_cast<int>(std::min<std::int64_t>(stepped, std::numeric_limits<int>::max())));
}

void TFlatSpinEditInteger::DownClick()
{
    if (isReadOnly()) {
        Beep();
        return;
    }
    const std::int64_t stepped = std::int64_t{Value()} - Increment;
    SetValue(static_cast<int>(std::max<std::int64_t>(stepped, std::numeric_limits<int>::min())));
}

// Digits, signs, the locale's decimal separator and control characters other
// than Enter; with the editor disabled only control characters other than
// Backspace. Keys without a character pass.
bool TFlatSpinEditInteger::AcceptsCharacter(const QKeyEvent& event) const
{
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return false;
    if (!EditorEnabled && event.key() == Qt::Key_Backspace)
        return false;
    const QString typed = event.text();
    if (typed.isEmpty() || (typed.size() == 1 && IsControlCharacter(typed.front())))
        return true;
    if (!EditorEnabled)
        return false;
    if (typed == QLocale().decimalPoint())
        return true;
    return std::all_of(typed.begin(), typed.end(), [](QChar c) {
        return IsAsciiDigit(c) || c == QLatin1Char('+') || c == QLatin1Char('-');
    });
}

// The arrow keys step and then go on to the edit's own handling; refused
// characters beep and go on to the parent, as keys the edit does not use.
void TFlatSpinEditInteger::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        UpClick();
    else if (event->key() == Qt::Key_Down)
        DownClick();
    if ((event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) && !MayEditText()) {
        event->accept();
        return;
    }
    if (!AcceptsCharacter(*event)) {
        Beep();
        event->ignore();
        return;
    }
    TCustomFlatEdit::keyPressEvent(event);
}

void TFlatSpinEditInteger::focusInEvent(QFocusEvent* event)
{
    TCustomFlatEdit::focusInEvent(event);
    if (AutoSelect && event->reason() != Qt::MouseFocusReason)
        selectAll();
}

// Only a move of the focus to another control corrects the number: not a
// popup menu opening over the edit, nor a switch to another window.
void TFlatSpinEditInteger::focusOutEvent(QFocusEvent* event)
{
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        const int value = Value();
        if (Clamped(value) != value)
            SetValue(value);
    }
    TCustomFlatEdit::focusOutEvent(event);
}

// The buttons fill the height inside the border and end 2 pixels before the
// right edge.
void TFlatSpinEditInteger::resizeEvent(QResizeEvent* event)
{
    TCustomFlatEdit::resizeEvent(event);
    PlaceSpinButton();
}

void TFlatSpinEditInteger::PlaceSpinButton()
{
    Spin->setGeometry(width() - TSpinButton::DefaultWidth - 5 + BorderWidth, BorderWidth, TSpinButton::DefaultWidth,
                      height() - 2 * BorderWidth);
}

void TFlatSpinEditInteger::changeEvent(QEvent* event)
{
    TCustomFlatEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        setMinimumHeight(SmallestHeight());
        updateGeometry();
    }
}

// The font's text height and room for the border.
int TFlatSpinEditInteger::SmallestHeight() const
{
    return QFontMetrics(font()).height() + 7;
}

QSize TFlatSpinEditInteger::sizeHint() const
{
    return {DefaultWidth, SmallestHeight()};
}

QSize TFlatSpinEditInteger::minimumSizeHint() const
{
    return {TSpinButton::DefaultWidth + 2 * BorderWidth, SmallestHeight()};
}

// QLineEdit's own menu leaves the text-changing actions disabled while it is
// read-only, which the edit is for the moment the menu is built.
QMenu* TFlatSpinEditInteger::CreateContextMenu()
{
    const bool lockText = !EditorEnabled && !isReadOnly();
    if (lockText)
        setReadOnly(true);
    QMenu* menu = createStandardContextMenu();
    if (lockText)
        setReadOnly(false);
    return menu;
}

void TFlatSpinEditInteger::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TFlatSpinEditInteger::FaceChanged()
{
    if (Spin != nullptr)
        Spin->SetColor(FaceColor());
}

}  // namespace qrp
