#pragma once
// A device in front of another that passes a call on only when the page's
// drawing budget pays for it; from the first refusal on, calls are dropped.

#include "platform/emf/player/drawing_budget.h"
#include "platform/emf/player/emf_device.h"
#include "platform/emf/player/drawing_prices.h"

namespace qrp::emf {

class TBudgetDevice : public TEmfDevice {
public:
    TBudgetDevice(TEmfDevice& device, TDrawingBudget& budget, const TDrawingPrices& prices)
        : Device(device), Budget(budget), Prices(prices)
    {
    }

    void SetClip(const std::optional<QRegion>& clip) override
    {
        if (Budget.Spend(Prices.Clip(clip)))
            Device.SetClip(clip);
    }
    void FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode) override
    {
        if (Budget.Spend(Prices.Fill(path)))
            Device.FillPath(path, brush, mode);
    }
    void StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode) override
    {
        if (Budget.Spend(Prices.Stroke(path, pen)))
            Device.StrokePath(path, pen, mode);
    }
    void DrawText(const TTextRun& run) override
    {
        if (Budget.Spend(Prices.Text(run)))
            Device.DrawText(run);
    }
    void DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                   QPainter::CompositionMode mode, bool smooth) override
    {
        if (Budget.Spend(Prices.Image(source, imageToDevice)))
            Device.DrawImage(image, source, imageToDevice, mode, smooth);
    }
    void ExpectRasterOps() override { Device.ExpectRasterOps(); }

private:
    TEmfDevice& Device;
    TDrawingBudget& Budget;
    const TDrawingPrices& Prices;
};

}  // namespace qrp::emf
