#pragma once
// Prices of drawing calls for the drawing budget: upper estimates of what a
// raster device does for them, measured on the page at 96 dpi. A fill costs
// the area it covers within the page and the length of its edges there (each
// edge crosses that many scan lines); a stroke the area of its outline and
// that outline's length; every path element one segment, a curve as many as
// flattening it takes; a glyph its em square. A clip costs its rectangles,
// which are pixels of the output itself.

#include <algorithm>
#include <cmath>

#include "platform/emf/player/drawing_budget.h"
#include "platform/emf/player/emf_device.h"

namespace qrp::emf {

class TDrawingPrices {
public:
    // target: where the page lies on the device; pageSize: the page in pixels at 96 dpi.
    TDrawingPrices(const QRectF& target, const QSizeF& pageSize)
        : Origin(target.topLeft()),
          Scale(target.width() > 0 ? pageSize.width() / target.width() : 1,
                target.height() > 0 ? pageSize.height() / target.height() : 1),
          Page(QPointF(0, 0), pageSize)
    {
    }

    TDrawingWork Fill(const QPainterPath& path) const
    {
        return {.PaintedPixels = AreaOnPage(ToPage(path.boundingRect())) + EdgeLength(path, 0),
                .PathSegments = Segments(path)};
    }

    TDrawingWork Stroke(const QPainterPath& path, const QPen& pen) const
    {
        // The outline of the sides, joins and caps, filled once.
        const double width = std::max(1.0, pen.widthF() * std::sqrt(Scale.width() * Scale.height()));
        const double half = width / 2;
        const double length = EdgeLength(path, half);
        const QRectF box = ToPage(path.boundingRect()).adjusted(-half, -half, half, half);
        const double covered = std::min(length * width, AreaOnPage(box));
        const double segments = Segments(path);
        return {.PaintedPixels = covered + 2 * length + path.elementCount() * width,
                .PathSegments = pen.widthF() > 0 ? 2 * segments : segments};
    }

    TDrawingWork Text(const TTextRun& run) const
    {
        const double em = run.Font.pixelSize() * Scale.height();
        TDrawingWork work;
        const auto count = std::min<std::size_t>(static_cast<std::size_t>(run.Text.size()), run.Positions.size());
        for (std::size_t i = 0; i < count; ++i) {
            if (run.Text.at(static_cast<qsizetype>(i)).isSpace())
                continue;
            const QPointF at = ToPage(run.Positions[i]);
            work.PaintedPixels += AreaOnPage(QRectF(at.x(), at.y() - em, em, em));
            work.Glyphs += 1;
        }
        return work;
    }

    TDrawingWork Image(const QRectF& source, const QTransform& imageToDevice) const
    {
        return {.PaintedPixels = AreaOnPage(ToPage(imageToDevice.mapRect(source)))};
    }

    TDrawingWork Clip(const std::optional<QRegion>& clip) const
    {
        return {.PathSegments = clip ? static_cast<double>(clip->rectCount()) : 0};
    }

    // Path elements, each curve counted as the lines flattening it at the page's
    // resolution takes (about the square root of its size in pixels), unless it
    // lies wholly beside the page, where devices pass it by.
    double Segments(const QPainterPath& path) const
    {
        double total = 0;
        QPointF from;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            total += 1;
            if (e.isCurveTo() && i + 2 < path.elementCount()) {
                const QPointF c1 = ToPage(e), c2 = ToPage(path.elementAt(i + 1)), to = ToPage(path.elementAt(i + 2));
                const QRectF hull = QPolygonF({from, c1, c2, to}).boundingRect();
                if (AreaOnPage(hull.adjusted(-1, -1, 1, 1)) > 0)
                    total += std::sqrt(Distance(from, c1) + Distance(c1, c2) + Distance(c2, to));
                from = to;
                i += 2;
                continue;
            }
            from = ToPage(e);
        }
        return total;
    }

private:
    QPointF ToPage(const QPointF& p) const
    {
        return QPointF((p.x() - Origin.x()) * Scale.width(), (p.y() - Origin.y()) * Scale.height());
    }
    QRectF ToPage(const QRectF& r) const { return QRectF(ToPage(r.topLeft()), ToPage(r.bottomRight())); }

    static double Distance(const QPointF& a, const QPointF& b) { return std::hypot(b.x() - a.x(), b.y() - a.y()); }

    // v within [low, high]; not a number counts as low.
    static double Within(double v, double low, double high) { return v > low ? std::min(v, high) : low; }

    double AreaOnPage(const QRectF& box) const
    {
        const QRectF b = box.normalized();
        const double width = Within(b.right(), Page.left(), Page.right()) - Within(b.left(), Page.left(), Page.right());
        const double height =
            Within(b.bottom(), Page.top(), Page.bottom()) - Within(b.top(), Page.top(), Page.bottom());
        return width * height;
    }

    // The length of the path's control polygon (never shorter than its curves)
    // within the page widened by margin.
    double EdgeLength(const QPainterPath& path, double margin) const
    {
        const QRectF area = Page.adjusted(-margin, -margin, margin, margin);
        double total = 0;
        QPointF from;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            const QPointF to = ToPage(e);
            if (!e.isMoveTo())
                total += LengthInside(from, to, area);
            from = to;
        }
        return total;
    }

    // The length of the segment a-b inside area (Liang-Barsky clipping).
    static double LengthInside(const QPointF& a, const QPointF& b, const QRectF& area)
    {
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        const double p[] = {-dx, dx, -dy, dy};
        const double q[] = {a.x() - area.left(), area.right() - a.x(), a.y() - area.top(), area.bottom() - a.y()};
        double enter = 0, leave = 1;
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    return 0;
                continue;
            }
            const double t = q[k] / p[k];
            if (p[k] < 0)
                enter = std::max(enter, t);
            else
                leave = std::min(leave, t);
        }
        const double length = std::hypot(dx, dy) * (leave - enter);
        return length > 0 ? length : 0;
    }

    QPointF Origin;
    QSizeF Scale;  // page pixels per device pixel, x and y
    QRectF Page;
};

}  // namespace qrp::emf
