#pragma once
// A single-line edit with a flat border: a one-pixel ring in ColorBorder and,
// inside it, a two-pixel ring in the face colour, which is also the
// background. The face is ColorFocused while the edit has the focus or the
// mouse is over it, ColorFlat otherwise.

#include <QColor>
#include <QLineEdit>

namespace qrp {

class TCustomFlatEdit : public QLineEdit {
public:
    // The border on every side, outer ring and face ring together.
    static constexpr int BorderWidth = 3;

    explicit TCustomFlatEdit(QWidget* parent = nullptr);

    QColor ColorFocused() const { return FocusedColor; }
    void SetColorFocused(const QColor& color);
    QColor ColorBorder() const { return RingColor; }
    void SetColorBorder(const QColor& color);
    QColor ColorFlat() const { return FlatColor; }
    // Also stops ColorFlat from following the parent.
    void SetColorFlat(const QColor& color);
    // While true ColorFlat takes the parent's background colour.
    bool ParentColor() const { return FollowsParent; }
    void SetParentColor(bool parentColor);

    bool MouseOver() const { return MouseInside; }
    // The colour of the inner ring and the background as they are now.
    QColor FaceColor() const;

protected:
    // The text ends this many pixels before the right edge of the area inside
    // the border.
    void SetTextRightReserve(int pixels);
    // Called when the face colour may have changed, for children drawn in it.
    virtual void FaceChanged() {}

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateFace();
    void TakeParentColor();

    QColor FocusedColor{Qt::white};
    QColor RingColor{160, 149, 131};
    QColor FlatColor{235, 234, 225};
    bool FollowsParent = true;
    bool MouseInside = false;
};

}  // namespace qrp
