#pragma once
// The content of one status panel, composed in an off-screen pixmap: text
// panels and the percent gauge, whose text changes colour where the bar ends.

#include <QColor>
#include <QFont>
#include <QPixmap>

namespace qrp {

class TGaugeStatusPanel;

// What the bar lends its panels for drawing.
struct TPanelLook {
    QFont Font;
    QColor Color;      // background
    QColor FontColor;  // text outside a gauge's bar
    bool Enabled = true;
    qreal PixelRatio = 1;
};

// The panel drawn at size (device-independent pixels).
QPixmap ComposePanel(const TGaugeStatusPanel& panel, const QSize& size, const TPanelLook& look);

}  // namespace qrp
