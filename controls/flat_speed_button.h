#pragma once
// Flat buttons without focus: a face in the parent's colour with a thin frame
// while idle, raised while the mouse is over them, sunken while pressed. A
// click is a left press released over the button. TTimerSpeedButton repeats
// its click while held: first after 400 ms, then every 100 ms.

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>

class QTimer;

namespace qrp {

// Where the glyph sits: Margin pixels below the top or above the bottom edge,
// centred horizontally.
enum TButtonLayout : std::uint8_t { blGlyphTop, blGlyphBottom };

class TFlatSpeedButton : public QWidget {
public:
    explicit TFlatSpeedButton(QWidget* parent = nullptr);

    void SetGlyph(const QImage& glyph, TButtonLayout layout, int margin);
    // The look the button has now.
    bool Pressed() const { return MousePressed && MouseInside; }

    std::function<void(TFlatSpeedButton* sender)> OnClick;
    // The left button went down on the button.
    std::function<void(TFlatSpeedButton* sender)> OnPress;

protected:
    // The left button is held down on the button.
    bool Held() const { return MousePressed; }
    void Click();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawFrame(QPainter& painter) const;
    void DrawGlyph(QPainter& painter) const;

    QImage Glyph;
    TButtonLayout Layout = blGlyphTop;
    int Margin = 0;
    bool MousePressed = false;
    bool MouseInside = false;
};

class TTimerSpeedButton : public TFlatSpeedButton {
public:
    static constexpr int FirstRepeatMs = 400;
    static constexpr int RepeatMs = 100;

    using TFlatSpeedButton::TFlatSpeedButton;

    // Null until the button is first pressed.
    const QTimer* RepeatTimer() const { return Timer; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Repeat();

    QTimer* Timer = nullptr;
};

}  // namespace qrp
