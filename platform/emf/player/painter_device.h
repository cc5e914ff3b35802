#pragma once
// Paints the player's calls with a QPainter: screen, image, printer, PDF or SVG.

#include "platform/emf/player/emf_device.h"

namespace qrp::emf {

class TPainterDevice : public TEmfDevice {
public:
    // Draws in the painter's coordinates as they stand; its state is restored afterwards.
    explicit TPainterDevice(QPainter& painter);
    ~TPainterDevice() override;
    TPainterDevice(const TPainterDevice&) = delete;
    TPainterDevice& operator=(const TPainterDevice&) = delete;

    void SetClip(const std::optional<QRegion>& clip) override;
    void FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode) override;
    void StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode) override;
    void DrawText(const TTextRun& run) override;
    void DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                   QPainter::CompositionMode mode, bool smooth) override;

private:
    // Raster operations other engines lack become their nearest blend.
    void SetMode(QPainter::CompositionMode mode);

    QPainter& Painter;
    QTransform Base;
    std::optional<QRegion> OuterClip;
    bool RasterOpsWork;
    // Draws into an image through Qt's raster engine.
    bool Raster;
};

}  // namespace qrp::emf
