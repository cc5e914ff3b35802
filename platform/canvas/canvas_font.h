#pragma once
// The Qt side of a canvas font: the face it is drawn with (the Windows face's
// substitute), its pixel size, and text measured the way every canvas
// measures it — one whole-pixel advance per UTF-16 unit, rounded along the
// running sum so the total stays within half a pixel of the exact width.

#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include "platform/canvas/graphics_objects.h"

class QPaintDevice;

namespace qrp {

class TCanvasFont {
public:
    // Measures on device, or on the screen when device is null.
    TCanvasFont(const TFont& font, QPaintDevice* device);

    const QFont& Font() const { return QtFont; }
    // Whether this measures font on device.
    bool Describes(const TFont& font, QPaintDevice* device) const;

    // Whole pixels from the top of a text cell to the baseline, and below it.
    int Ascent() const { return AscentPixels; }
    int Descent() const { return DescentPixels; }
    int CellHeight() const { return AscentPixels + DescentPixels; }

    std::vector<int> Advances(const QString& text) const;
    int Width(const QString& text) const;

private:
    TFont Source;
    QPaintDevice* Device;
    QFont QtFont;
    QFontMetricsF Metrics;
    int AscentPixels, DescentPixels;
};

}  // namespace qrp
