// The clip region, and the records that draw regions. Clip geometry is cut to
// ClipArea before it becomes a region, building and combining regions is paid
// from the drawing budget by their rectangles, and combinations that could
// multiply rectangles are refused.

#include <algorithm>
#include <cmath>
#include <span>

#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"

namespace qrp::emf {

namespace {
// Combining regions can multiply their rectangles (stripes across stripes make
// a grid): a combination that could hold more than this many stops the page.
constexpr double kMaxRegionRects = 4 << 20;
// Shifts and frame widths beyond this many pixels carry anything past ClipArea.
constexpr double kFar = 1 << 26;
// Polygon corners are cut to the area in doubles, exact to a fraction of a
// pixel up to this distance; farther ones (and infinite ones) are brought in to it.
constexpr double kCornerLimit = 1e15;

QRect PixelRect(const QRectF& rect)
{
    const QRectF n = rect.normalized();
    const auto left = static_cast<int>(std::lround(n.left()));
    const auto top = static_cast<int>(std::lround(n.top()));
    return QRect(QPoint(left, top), QPoint(static_cast<int>(std::lround(n.right())) - 1,
                                           static_cast<int>(std::lround(n.bottom())) - 1));
}

// v within ±limit; not a number counts as -limit.
double Bounded(double v, double limit = kFar) { return v > -limit ? std::min(v, limit) : -limit; }

// One step of Sutherland-Hodgman clipping: the polygon's part on the inner side of one edge.
template <typename Inside, typename Crossing>
QPolygonF ClippedBy(const QPolygonF& polygon, Inside inside, Crossing crossing)
{
    QPolygonF kept;
    if (polygon.isEmpty())
        return kept;
    QPointF previous = polygon.last();
    for (const QPointF& point : polygon) {
        if (inside(point) != inside(previous))
            kept << crossing(previous, point);
        if (inside(point))
            kept << point;
        previous = point;
    }
    return kept;
}

// The polygon cut to area. What it fills inside area stays the same under
// either fill rule; a polygon inside area comes back as it was.
QPolygonF ClippedPolygon(const QPolygonF& polygon, const QRectF& area)
{
    QPolygonF p;
    p.reserve(polygon.size());
    for (const QPointF& point : polygon)
        p << QPointF(Bounded(point.x(), kCornerLimit), Bounded(point.y(), kCornerLimit));
    // Where the edge a-b crosses the line x (or y); the edge has an end on either side.
    const auto atX = [](double x) {
        return [x](const QPointF& a, const QPointF& b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    const auto atY = [](double y) {
        return [y](const QPointF& a, const QPointF& b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    p = ClippedBy(p, [&](const QPointF& q) { return q.x() >= area.left(); }, atX(area.left()));
    p = ClippedBy(p, [&](const QPointF& q) { return q.x() <= area.right(); }, atX(area.right()));
    p = ClippedBy(p, [&](const QPointF& q) { return q.y() >= area.top(); }, atY(area.top()));
    return ClippedBy(p, [&](const QPointF& q) { return q.y() <= area.bottom(); }, atY(area.bottom()));
}

// The union of many regions, built by halves: one by one it would cost the
// square of their number.
QRegion United(std::span<const QRegion> parts)
{
    if (parts.size() <= 1)
        return parts.empty() ? QRegion() : parts.front();
    const std::size_t half = parts.size() / 2;
    return United(parts.first(half)).united(United(parts.subspan(half)));
}

// A region's horizontal bands: how many, and the most rectangles one holds.
struct TBands {
    double Count = 0;
    double Widest = 0;
};

TBands BandsOf(const QRegion& region)
{
    TBands bands;
    int top = 0;
    double inBand = 0;
    for (const QRect& rect : region) {
        if (bands.Count == 0 || rect.top() != top) {
            bands.Count += 1;
            top = rect.top();
            inBand = 0;
        }
        bands.Widest = std::max(bands.Widest, ++inBand);
    }
    return bands;
}

// The most rectangles a combination of a and b can hold: its bands lie
// between the band edges of both, each with the rectangles of both.
double CombinedRectsBound(const QRegion& a, const QRegion& b)
{
    const TBands x = BandsOf(a), y = BandsOf(b);
    return 2 * (x.Count + y.Count) * (x.Widest + y.Widest);
}
}  // namespace

void TPlayer::ApplyClip()
{
    if (Dc.Clip == AppliedClip)
        return;
    Device.SetClip(Dc.Clip);
    AppliedClip = Dc.Clip;
}

void TPlayer::CombineClip(const QRegion& region, std::uint32_t mode)
{
    const QRegion current = Dc.Clip ? *Dc.Clip : QRegion(PixelRect(ClipArea));
    if (mode != RGN_COPY) {
        // Combining walks both regions.
        if (!Budget.Spend({.PathSegments = static_cast<double>(current.rectCount()) + region.rectCount()}))
            return;
        if (CombinedRectsBound(current, region) > kMaxRegionRects)
            return Budget.Refuse("clip region rectangles");
    }
    switch (mode) {
    case RGN_AND: Dc.Clip = current.intersected(region); break;
    case RGN_OR: Dc.Clip = current.united(region); break;
    case RGN_XOR: Dc.Clip = current.xored(region); break;
    case RGN_DIFF: Dc.Clip = current.subtracted(region); break;
    case RGN_COPY: Dc.Clip = region; break;
    default: return;
    }
}

std::optional<QRegion> TPlayer::MappedRegion(const QRectF& rect, const QTransform& toOutput)
{
    // Exact while the rectangle stays axis-aligned, a polygon otherwise.
    if (!toOutput.isRotating())
        return QRegion(PixelRect(toOutput.mapRect(rect).intersected(ClipArea)));
    return PolygonRegion({toOutput.map(QPolygonF(rect))}, Qt::OddEvenFill);
}

std::optional<QRegion> TPlayer::PolygonRegion(const QList<QPolygonF>& polygons, Qt::FillRule rule)
{
    // Joined as QPainterPath::toFillPolygon joins subpaths: each closed, then back to the first point.
    QPolygonF joined;
    for (const QPolygonF& polygon : polygons) {
        const QPolygonF clipped = ClippedPolygon(polygon, ClipArea);
        if (clipped.isEmpty())
            continue;
        const bool first = joined.isEmpty();
        const QPointF start = first ? clipped.first() : joined.first();
        joined += clipped;
        if (!clipped.isClosed())
            joined += clipped.first();
        if (!first)
            joined += start;
    }
    // Scanning the polygon costs a step for every row an edge crosses.
    double rows = 0;
    for (qsizetype i = 1; i < joined.size(); ++i)
        rows += std::abs(joined[i].y() - joined[i - 1].y());
    if (!Budget.Spend({.PathSegments = static_cast<double>(joined.size()) + rows}))
        return std::nullopt;
    return QRegion(joined.toPolygon(), rule);
}

void TPlayer::IntersectClipRect(TRecord& r, bool exclude)
{
    auto& f = r.Fields;
    const QRectF logical(QPointF(f.I32(8), f.I32(12)), QPointF(f.I32(16), f.I32(20)));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (const auto region = MappedRegion(logical.normalized(), LogicalToOutput))
        CombineClip(*region, exclude ? RGN_DIFF : RGN_AND);
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
    if (!Budget.Spend({.PathSegments = static_cast<double>(count)}))
        return std::nullopt;
    std::vector<QRegion> parts;
    parts.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = offset + headerSize + 16 * static_cast<std::size_t>(i);
        const QRectF rect(QPointF(f.I32(at), f.I32(at + 4)), QPointF(f.I32(at + 8), f.I32(at + 12)));
        auto part = MappedRegion(rect.normalized(), toOutput);
        if (!part)
            return std::nullopt;
        parts.push_back(std::move(*part));
    }
    return United(parts);
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
    if (!Dc.Clip || !Budget.Spend({.PathSegments = static_cast<double>(Dc.Clip->rectCount())}))
        return;
    const QPointF shift = LogicalToOutput.map(offset) - LogicalToOutput.map(QPointF(0, 0));
    const QPoint pixels(static_cast<int>(std::lround(Bounded(shift.x()))),
                        static_cast<int>(std::lround(Bounded(shift.y()))));
    Dc.Clip = Dc.Clip->translated(pixels).intersected(PixelRect(ClipArea));
}

void TPlayer::SelectClipPath(TRecord& r)
{
    const std::uint32_t mode = r.Fields.U32(8);
    if (!r.Fields.Ok())
        return Problem(r, "record too short for its fields");
    const QPainterPath path = FrameToOutput.map(Path);
    const Qt::FillRule rule = Dc.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    Path = QPainterPath();
    InPath = PathFinished = false;
    // Flattening the curves is paid for before it is done.
    if (!Budget.Spend({.PathSegments = Prices.Segments(path)}))
        return;
    if (const auto region = PolygonRegion(path.toSubpathPolygons(), rule))
        CombineClip(*region, mode);
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
        const int dx = std::max(1, static_cast<int>(std::lround(Bounded(std::abs(shift.x())))));
        const int dy = std::max(1, static_cast<int>(std::lround(Bounded(std::abs(shift.y())))));
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
