#pragma once
// What the page and the other geometry holders need of the report component
// they belong to. The component implements it and attaches itself.

namespace qrp {

class TQRPageHost {
public:
    virtual ~TQRPageHost() = default;

    // The component takes the page's size in screen pixels.
    virtual void SetPixelSize(int width, int height) = 0;
    // Repaints the component with its bands and their rulers.
    virtual void Repaint() = 0;
    // Places the bands again after the printable area changed.
    virtual void RelayoutBands() = 0;
    // The size of the component's font in points; negative sizes count by their magnitude.
    virtual int FontSize() const = 0;

protected:
    TQRPageHost() = default;
    TQRPageHost(const TQRPageHost&) = default;
    TQRPageHost& operator=(const TQRPageHost&) = default;
};

}  // namespace qrp
