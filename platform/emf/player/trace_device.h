#pragma once
// Records the player's calls as lines of text: exact, renderer-independent
// expectations for tests, and a readable dump of what a page draws.

#include <string>
#include <vector>

#include "platform/emf/player/emf_device.h"

namespace qrp::emf {

class TTraceDevice : public TEmfDevice {
public:
    void SetClip(const std::optional<QRegion>& clip) override;
    void FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode) override;
    void StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode) override;
    void DrawText(const TTextRun& run) override;
    void DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                   QPainter::CompositionMode mode, bool smooth) override;

    // One line per call, e.g. "fill 10,20 100x50 #ff0000" or "text 'Ab' at 10,30 Liberation Sans 16px #000000".
    const std::vector<std::string>& Lines() const { return Calls; }
    std::string Text() const;

private:
    std::vector<std::string> Calls;
};

}  // namespace qrp::emf
