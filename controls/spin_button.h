#pragma once
// The pair of small repeating arrow buttons at the right end of a spin edit.
// The up button lies at x 0 and the down button at x 10, each 11 pixels wide,
// so they share one column.

#include <QWidget>

#include <functional>

namespace qrp {

class TTimerSpeedButton;

class TSpinButton : public QWidget {
public:
    static constexpr int DefaultWidth = 22;
    static constexpr int ButtonWidth = 11;
    static constexpr int DownButtonLeft = 10;

    explicit TSpinButton(QWidget* parent = nullptr);

    TTimerSpeedButton* UpButton() const { return Up; }
    TTimerSpeedButton* DownButton() const { return Down; }
    // The idle face of both buttons.
    void SetColor(const QColor& color);

    // Takes the keyboard focus when a button is pressed.
    QWidget* FocusControl = nullptr;
    std::function<void(TSpinButton* sender)> OnUpClick;
    std::function<void(TSpinButton* sender)> OnDownClick;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceButtons();
    void TakeFocus();

    TTimerSpeedButton* Up;
    TTimerSpeedButton* Down;
};

}  // namespace qrp
