#pragma once
// Paints the player's calls with a QPainter: screen, image, printer, PDF or SVG.

#include <memory>

#include "platform/emf/player/emf_device.h"

namespace qrp::emf {

class TRasterOpBackdrop;

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
    // Engines without raster operations (PDF, SVG) keep a raster picture of
    // the page for the figures that need them.
    void ExpectRasterOps() override;

private:
    // One painter drawn on: the device's own, or the backdrop's.
    struct TTarget {
        QPainter& Painter;
        QTransform Base;  // player coordinates to the painter's device
        bool RasterOps;
        bool Raster;
    };
    TTarget Own() { return {Painter, Base, RasterOpsWork, Raster}; }
    std::optional<TTarget> Backdropped();
    // Whether mode needs the destination and this painter cannot do it itself.
    bool NeedsBackdrop(QPainter::CompositionMode mode) const;

    static void SetMode(const TTarget& target, QPainter::CompositionMode mode);
    static void Fill(const TTarget& target, const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode);
    static void Stroke(const TTarget& target, const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode);
    static void Text(const TTarget& target, const TTextRun& run);
    static void Image(const TTarget& target, const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                      QPainter::CompositionMode mode, bool smooth);
    void Clip(const TTarget& target, const std::optional<QRegion>& clip, const QTransform& deviceToTarget);

    QPainter& Painter;
    QTransform Base;
    std::optional<QRegion> OuterClip;
    bool RasterOpsWork;
    // Draws into an image through Qt's raster engine.
    bool Raster;
    // The SVG engine writes no clip: figures are cut to it here, in player coordinates.
    bool ClipsItself;
    std::optional<QPainterPath> CutClip;
    std::unique_ptr<TRasterOpBackdrop> Backdrop;
};

}  // namespace qrp::emf
