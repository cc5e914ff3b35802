// The clip region, and the records that draw regions.

#include <cmath>

#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"

namespace qrp::emf {

namespace {
// A region that covers any output: the start of an exclusion from "no clip".
const QRegion kEverything(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);

QRect PixelRect(const QRectF& rect)
{
    const QRectF n = rect.normalized();
    const auto left = static_cast<int>(std::lround(n.left()));
    const auto top = static_cast<int>(std::lround(n.top()));
    return QRect(QPoint(left, top), QPoint(static_cast<int>(std::lround(n.right())) - 1,
                                           static_cast<int>(std::lround(n.bottom())) - 1));
}

// A rectangle under a transform: exact when it stays axis-aligned, a polygon otherwise.
QRegion MappedRegion(const QRectF& rect, const QTransform& transform)
{
    if (!transform.isRotating())
        return QRegion(PixelRect(transform.mapRect(rect)));
    return QRegion(transform.map(QPolygonF(rect)).toPolygon());
}
}  // namespace

void TPlayer::ApplyClip()
{
    if (!ClipDirty)
        return;
    Device.SetClip(Dc.Clip);
    ClipDirty = false;
}

void TPlayer::CombineClip(const QRegion& region, std::uint32_t mode)
{
    const QRegion current = Dc.Clip ? *Dc.Clip : kEverything;
    switch (mode) {
    case RGN_AND: Dc.Clip = current.intersected(region); break;
    case RGN_OR: Dc.Clip = current.united(region); break;
    case RGN_XOR: Dc.Clip = current.xored(region); break;
    case RGN_DIFF: Dc.Clip = current.subtracted(region); break;
    case RGN_COPY: Dc.Clip = region; break;
    default: return;
    }
    ClipDirty = true;
}

void TPlayer::IntersectClipRect(TRecord& r, bool exclude)
{
    auto& f = r.Fields;
    const QRectF logical(QPointF(f.I32(8), f.I32(12)), QPointF(f.I32(16), f.I32(20)));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    const QRegion region = MappedRegion(logical.normalized(), LogicalToOutput);
    CombineClip(region, exclude ? RGN_DIFF : RGN_AND);
}

std::optional<QRegion> TPlayer::ReadRegion(TRecord& r, std::size_t offset, std::uint32_t size, const QTransform& toOutput)
{
    auto& f = r.Fields;
    constexpr std::size_t kHeaderSize = 32;
    const std::uint32_t headerSize = f.U32(offset);
    const std::uint32_t count = f.U32(offset + 8);
    if (!f.Ok() || size < kHeaderSize || !f.Has(offset, size) || headerSize < kHeaderSize || headerSize > size ||
        count > (size - headerSize) / 16) {
        Problem(r, "region data does not fit the record");
        return std::nullopt;
    }
    QRegion region;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = offset + headerSize + 16 * static_cast<std::size_t>(i);
        const QRectF rect(QPointF(f.I32(at), f.I32(at + 4)), QPointF(f.I32(at + 8), f.I32(at + 12)));
        region += MappedRegion(rect.normalized(), toOutput);
    }
    return region;
}

void TPlayer::ExtSelectClipRgn(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t size = f.U32(8);
    const std::uint32_t mode = f.U32(12);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (mode == RGN_COPY && size == 0) {
        Dc.Clip.reset();
        ClipDirty = true;
        return;
    }
    // Clip regions are given in the reference device's pixels.
    if (const auto region = ReadRegion(r, 16, size, FrameToOutput))
        CombineClip(*region, mode);
}

void TPlayer::OffsetClipRgn(TRecord& r)
{
    auto& f = r.Fields;
    const QPointF offset(f.I32(8), f.I32(12));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (!Dc.Clip)
        return;
    const QPointF shift = LogicalToOutput.map(offset) - LogicalToOutput.map(QPointF(0, 0));
    Dc.Clip->translate(static_cast<int>(std::lround(shift.x())), static_cast<int>(std::lround(shift.y())));
    ClipDirty = true;
}

void TPlayer::SelectClipPath(TRecord& r)
{
    const std::uint32_t mode = r.Fields.U32(8);
    if (!r.Fields.Ok())
        return Problem(r, "record too short for its fields");
    QPainterPath path = FrameToOutput.map(Path);
    path.setFillRule(Dc.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    CombineClip(QRegion(path.toFillPolygon().toPolygon(), path.fillRule()), mode);
    Path = QPainterPath();
    InPath = PathFinished = false;
}

void TPlayer::RegionRecord(TRecord& r, std::uint32_t type)
{
    auto& f = r.Fields;
    const std::uint32_t size = f.U32(24);
    const std::uint32_t brushIndex = type == EMR_FILLRGN || type == EMR_FRAMERGN ? f.U32(28) : 0;
    const std::size_t dataOffset = type == EMR_FILLRGN ? 32 : type == EMR_FRAMERGN ? 40 : 28;
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    // These regions are in logical units.
    const auto region = ReadRegion(r, dataOffset, size, LogicalToOutput);
    if (!region)
        return;
    QPainterPath area;
    area.addRegion(*region);
    ApplyClip();
    if (type == EMR_INVERTRGN) {
        Device.FillPath(area, QBrush(Qt::white), QPainter::RasterOp_SourceXorDestination);
        return;
    }
    TLogBrush logBrush = Dc.Brush;
    if (type != EMR_PAINTRGN) {
        TGdiObject object;
        if (brushIndex & kStockObjectFlag)
            object = StockObject(brushIndex & ~kStockObjectFlag);
        else if (const TGdiObject* slot = ObjectSlot(r, brushIndex, false))
            object = *slot;
        const auto* chosen = std::get_if<TLogBrush>(&object);
        if (!chosen)
            return Problem(r, "region brush does not exist");
        logBrush = *chosen;
    }
    const auto brush = OutputBrush(logBrush);
    if (!brush)
        return;
    if (type == EMR_FRAMERGN) {
        // A frame of the stroke's width and height inside the region's edge.
        const QSizeF stroke(f.I32(32), f.I32(36));
        const QPointF shift = LogicalToOutput.map(QPointF(stroke.width(), stroke.height())) - LogicalToOutput.map(QPointF(0, 0));
        const int dx = std::max(1, static_cast<int>(std::lround(std::abs(shift.x()))));
        const int dy = std::max(1, static_cast<int>(std::lround(std::abs(shift.y()))));
        const QRegion inner = region->translated(dx, 0) & region->translated(-dx, 0) & region->translated(0, dy) &
                              region->translated(0, -dy);
        QPainterPath frame;
        frame.addRegion(*region - inner);
        Device.FillPath(frame, *brush, Rop2Mode());
        return;
    }
    Device.FillPath(area, *brush, Rop2Mode());
}

}  // namespace qrp::emf
