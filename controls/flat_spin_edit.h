#pragma once
// A flat numeric edit with a pair of arrow buttons at its right end. Value is
// the text read as a 32-bit integer; writing it clamps to MinValue..MaxValue
// (no limits while they are equal). The buttons and the Up and Down keys step
// by Increment; characters that cannot belong to a number are refused with a
// beep; leaving the edit replaces an out-of-range number by the nearer limit.

#include <functional>

#include "controls/flat_edit.h"

class QMenu;

namespace qrp {

class TSpinButton;

class TFlatSpinEditInteger : public TCustomFlatEdit {
public:
    static constexpr int DefaultWidth = 121;
    static constexpr int DefaultHeight = 19;

    explicit TFlatSpinEditInteger(QWidget* parent = nullptr);

    // The text as a decimal integer (an optional sign, then digits); MinValue
    // when it is not one or does not fit in 32 bits.
    int Value() const;
    // Writes value clamped; the text changes only when it differs.
    void SetValue(int value);
    // Value after one step up or down, clamped; a beep instead when read-only.
    void UpClick();
    void DownClick();

    TSpinButton* SpinButton() const { return Spin; }

    int MinValue = 0;
    int MaxValue = 0;
    int Increment = 1;
    // Whether typing, cutting and pasting change the text.
    bool EditorEnabled = true;
    // Whether entering the edit, other than by a mouse press on it, selects the text.
    bool AutoSelect = true;
    // Every change of the text: typing, pasting, cutting or a Value write.
    std::function<void(TFlatSpinEditInteger* sender)> OnChange;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The edit's context menu; with the editor disabled the actions that
    // change the text (cut, paste, delete, undo, redo) are disabled.
    QMenu* CreateContextMenu();

protected:
    void FaceChanged() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int Clamped(int value) const;
    bool MayEditText() const { return EditorEnabled && !isReadOnly(); }
    bool AcceptsCharacter(const QKeyEvent& event) const;
    int SmallestHeight() const;
    void PlaceSpinButton();

    TSpinButton* Spin;
};

}  // namespace qrp
