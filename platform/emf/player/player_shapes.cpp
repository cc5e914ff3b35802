// Lines, polygons, boxes, arcs, paths and gradients.

#include <cmath>
#include <numbers>

#include <QLinearGradient>
#include <QPainterPathStroker>

#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"

namespace qrp::emf {

namespace {
// Wide strokes run through pixel centres; fills cover the pixels inside.
const QTransform kToPixelCentres = QTransform::fromTranslate(0.5, 0.5);
constexpr std::uint32_t kMaxGradientVertices = 1 << 16;

double Scale(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

QImage HatchImage(std::uint32_t hatch, QColor color, std::optional<QColor> background)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(background ? background->rgba() : qRgba(0, 0, 0, 0));
    for (int i = 0; i < 8; ++i) {
        const auto set = [&](int x, int y) { image.setPixel(x, y, color.rgba()); };
        switch (hatch) {
        case HS_HORIZONTAL: set(i, 7); break;
        case HS_VERTICAL: set(7, i); break;
        case HS_FDIAGONAL: set(i, i); break;
        case HS_BDIAGONAL: set(7 - i, i); break;
        case HS_CROSS: set(i, 7); set(7, i); break;
        case HS_DIAGCROSS: set(i, i); set(7 - i, i); break;
        default: set(i, 7); break;
        }
    }
    return image;
}

// Monochrome patterns take the text colour for their dark pixels and the background colour for the light ones.
QImage Recolored(const QImage& pattern, QColor foreground, QColor background)
{
    QImage image = pattern.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qGray(row[x]) < 128 ? foreground.rgba() : background.rgba();
    }
    return image;
}
}  // namespace

QPainter::CompositionMode TPlayer::Rop2Mode() const
{
    switch (Dc.Rop2) {
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

std::optional<QPen> TPlayer::OutputPen() const
{
    const TLogPen& p = Dc.Pen;
    const std::uint32_t style = p.Style & PS_STYLE_MASK;
    if (style == PS_NULL || Dc.Rop2 == R2_NOP)
        return std::nullopt;
    QColor color = Dc.Rop2 == R2_BLACK ? QColor(Qt::black) : Dc.Rop2 == R2_WHITE ? QColor(Qt::white) : p.Color;
    double width = 0;
    if (!p.Cosmetic && p.Width > 0)
        width = p.Width * Scale(LogicalToDevice) * Scale(FrameToOutput);
    // Up to about one output pixel: a hairline, which stays visible when thinner
    // and, like a one-pixel line, does not reach past its end points.
    if (width < 1.5)
        width = 0;
    QPen pen(color, width);
    const std::uint32_t cap = p.Style & PS_ENDCAP_MASK;
    const std::uint32_t join = p.Style & PS_JOIN_MASK;
    if (width == 0) {
        pen.setCapStyle(Qt::FlatCap);  // the last pixel of a line is not drawn
    } else {
        pen.setCapStyle(cap == PS_ENDCAP_SQUARE ? Qt::SquareCap : cap == PS_ENDCAP_FLAT ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle(join == PS_JOIN_BEVEL ? Qt::BevelJoin : join == PS_JOIN_MITER ? Qt::MiterJoin : Qt::RoundJoin);
        pen.setMiterLimit(Dc.MiterLimit);
        if ((p.BrushStyle == BS_HATCHED || p.BrushStyle == BS_DIBPATTERN) && Dc.Rop2 != R2_BLACK && Dc.Rop2 != R2_WHITE) {
            // Laid out in reference pixels from the brush origin, as a brush's.
            QBrush brush(p.BrushStyle == BS_HATCHED
                             ? HatchImage(p.Hatch, color, Dc.BkMode == OPAQUE ? std::optional(Dc.BkColor) : std::nullopt)
                             : p.Pattern);
            brush.setTransform(QTransform::fromTranslate(Dc.BrushOrigin.x(), Dc.BrushOrigin.y()) * FrameToOutput);
            pen.setBrush(brush);
        }
    }
    // Dashes: cosmetic pens in pixels; geometric ones in pen widths. Old-style
    // pens wider than one unit draw solid.
    const bool geometric = (p.Style & PS_GEOMETRIC) != 0;
    const bool pixelDashes = !geometric && p.Width <= 1;
    if (style != PS_SOLID && style != PS_INSIDEFRAME && (pixelDashes || geometric)) {
        QList<qreal> dashes;
        if (pixelDashes) {
            switch (style) {
            case PS_DASH: dashes = {18, 6}; break;
            case PS_DOT: dashes = {3, 3}; break;
            case PS_DASHDOT: dashes = {9, 6, 3, 6}; break;
            case PS_DASHDOTDOT: dashes = {9, 3, 3, 3, 3, 3}; break;
            case PS_ALTERNATE: dashes = {1, 1}; break;
            default: break;
            }
            // In reference pixels; Qt measures dashes in pen widths.
            const double unit = width == 0 ? 1 : width;
            for (auto& d : dashes)
                d *= Scale(FrameToOutput) / unit;
        } else {
            switch (style) {
            case PS_DASH: dashes = {3, 1}; break;
            case PS_DOT: dashes = {1, 1}; break;
            case PS_DASHDOT: dashes = {3, 1, 1, 1}; break;
            case PS_DASHDOTDOT: dashes = {3, 1, 1, 1, 1, 1}; break;
            case PS_ALTERNATE: dashes = {1, 1}; break;
            default: break;
            }
        }
        if (style == PS_USERSTYLE) {
            const double unit = p.Width > 0 ? p.Width : 1;
            for (const double d : p.Dashes)
                dashes.append(std::max(d / unit, 0.01));
            if (dashes.size() % 2 != 0)
                dashes.append(dashes.back());
        }
        if (!dashes.isEmpty())
            pen.setDashPattern(dashes);
    }
    return pen;
}

std::optional<QBrush> TPlayer::OutputBrush(const TLogBrush& b)
{
    if (b.Style == BS_NULL || Dc.Rop2 == R2_NOP)
        return std::nullopt;
    if (Dc.Rop2 == R2_BLACK || Dc.Rop2 == R2_WHITE)
        return QBrush(Dc.Rop2 == R2_BLACK ? Qt::black : Qt::white);
    // Patterns are laid out in reference pixels from the brush origin.
    const QTransform patternToOutput = QTransform::fromTranslate(Dc.BrushOrigin.x(), Dc.BrushOrigin.y()) * FrameToOutput;
    if (b.Style == BS_HATCHED) {
        QBrush brush(HatchImage(b.Hatch, b.Color, Dc.BkMode == OPAQUE ? std::optional(Dc.BkColor) : std::nullopt));
        brush.setTransform(patternToOutput);
        return brush;
    }
    if ((b.Style == BS_DIBPATTERN || b.Style == BS_PATTERN || b.Style == BS_DIBPATTERNPT) && !b.Pattern.isNull()) {
        const QImage pattern = b.Monochrome ? RecoloredPattern(b.Pattern) : b.Pattern;
        if (pattern.isNull())
            return std::nullopt;
        QBrush brush(pattern);
        brush.setTransform(patternToOutput);
        return brush;
    }
    return QBrush(b.Color);
}

QImage TPlayer::RecoloredPattern(const QImage& pattern)
{
    const QRgb foreground = Dc.TextColor.rgba(), background = Dc.BkColor.rgba();
    if (LastRecolored.Source != pattern.cacheKey() || LastRecolored.Foreground != foreground ||
        LastRecolored.Background != background) {
        if (!Budget.Spend({.DecodedPixels = static_cast<double>(pattern.width()) * pattern.height()}))
            return {};
        LastRecolored = {pattern.cacheKey(), foreground, background, Recolored(pattern, Dc.TextColor, Dc.BkColor)};
    }
    return LastRecolored.Image;
}

void TPlayer::FillDevicePath(const QPainterPath& devicePath, const QBrush& brush)
{
    ApplyClip();
    QPainterPath output = FrameToOutput.map(devicePath);
    output.setFillRule(devicePath.fillRule());
    Device.FillPath(output, brush, Rop2Mode());
}

void TPlayer::StrokeDevicePath(const QPainterPath& devicePath)
{
    const auto pen = OutputPen();
    if (!pen)
        return;
    ApplyClip();
    // Hairlines already light the pixels at their integer coordinates, up to
    // and without the end point; wider strokes are centred on those pixels.
    const bool hairline = pen->widthF() == 0;
    const QPainterPath output = FrameToOutput.map(hairline ? devicePath : kToPixelCentres.map(devicePath));
    // Gaps of styled lines show the background colour when the background is opaque.
    if (pen->style() == Qt::CustomDashLine && Dc.BkMode == OPAQUE) {
        QPen gaps = *pen;
        gaps.setStyle(Qt::SolidLine);
        gaps.setColor(Dc.BkColor);
        Device.StrokePath(output, gaps, Rop2Mode());
    }
    Device.StrokePath(output, *pen, Rop2Mode());
}

void TPlayer::Emit(const QPainterPath& devicePath, bool fill, bool stroke)
{
    if (InPath) {
        Path.addPath(devicePath);
        return;
    }
    QPainterPath filled = devicePath;
    filled.setFillRule(Dc.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill)
        if (const auto brush = OutputBrush(Dc.Brush))
            FillDevicePath(filled, *brush);
    if (stroke)
        StrokeDevicePath(devicePath);
}

std::vector<QPointF> TPlayer::ReadPointList(TRecord& r, std::size_t offset, std::uint32_t count, bool is16)
{
    std::vector<QPointF> points;
    auto& f = r.Fields;
    if (!f.HasArray(offset, count, is16 ? 4 : 8)) {
        Problem(r, "point count " + std::to_string(count) + " does not fit the record");
        return points;
    }
    points.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const QPointF logical = is16 ? QPointF(f.I16(offset + 4 * i), f.I16(offset + 4 * i + 2))
                                     : QPointF(f.I32(offset + 8 * i), f.I32(offset + 8 * i + 4));
        points.push_back(LogicalToDevice.map(logical));
    }
    return points;
}

void TPlayer::Polyline16or32(TRecord& r, bool is16, bool closed, bool bezier, bool continueFromCurrent)
{
    const std::uint32_t count = r.Fields.U32(24);
    if (!r.Fields.Ok())
        return Problem(r, "record too short for its fields");
    const std::vector<QPointF> points = ReadPointList(r, 28, count, is16);
    if (points.empty())
        return;
    QPainterPath path;
    std::size_t next = 0;
    const QPointF current = LogicalToDevice.map(Dc.CurrentPosition);
    if (continueFromCurrent) {
        if (InPath && !Path.isEmpty() && Path.currentPosition() == current) {
            path = Path;
            Path = QPainterPath();
        } else {
            path.moveTo(current);
        }
    } else {
        path.moveTo(points[next++]);
    }
    if (bezier) {
        for (; next + 3 <= points.size(); next += 3)
            path.cubicTo(points[next], points[next + 1], points[next + 2]);
    } else {
        for (; next < points.size(); ++next)
            path.lineTo(points[next]);
    }
    if (closed)
        path.closeSubpath();
    if (continueFromCurrent)
        Dc.CurrentPosition = LogicalToDevice.inverted().map(path.currentPosition());
    if (InPath && continueFromCurrent) {
        Path.addPath(path);
        return;
    }
    Emit(path, closed, true);
}

void TPlayer::PolyPoly(TRecord& r, bool is16, bool closed)
{
    auto& f = r.Fields;
    const std::uint32_t polygons = f.U32(24);
    const std::uint32_t total = f.U32(28);
    if (!f.Ok() || !f.HasArray(32, polygons, 4))
        return Problem(r, "polygon counts do not fit the record");
    const std::size_t pointsOffset = 32 + 4 * static_cast<std::size_t>(polygons);
    const std::vector<QPointF> points = ReadPointList(r, pointsOffset, total, is16);
    if (points.empty())
        return;
    QPainterPath path;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < polygons; ++i) {
        const std::uint32_t n = f.U32(32 + 4 * i);
        if (n > points.size() - at) {
            Problem(r, "polygon sizes exceed the point count");
            break;
        }
        if (n == 0)
            continue;
        path.moveTo(points[at]);
        for (std::uint32_t k = 1; k < n; ++k)
            path.lineTo(points[at + k]);
        if (closed)
            path.closeSubpath();
        at += n;
    }
    Emit(path, closed, true);
}

void TPlayer::PolyDraw(TRecord& r, bool is16)
{
    auto& f = r.Fields;
    const std::uint32_t count = f.U32(24);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    const std::vector<QPointF> points = ReadPointList(r, 28, count, is16);
    const std::size_t typesOffset = 28 + static_cast<std::size_t>(count) * (is16 ? 4 : 8);
    if (points.empty() || !f.HasArray(typesOffset, count, 1))
        return Problem(r, "point types do not fit the record");
    QPainterPath path;
    path.moveTo(LogicalToDevice.map(Dc.CurrentPosition));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::uint8_t type = f.U8(typesOffset + i);
        switch (type & ~PT_CLOSEFIGURE) {
        case PT_MOVETO: path.moveTo(points[i]); break;
        case PT_LINETO: path.lineTo(points[i]); break;
        case PT_BEZIERTO:
            if (i + 2 < points.size()) {
                path.cubicTo(points[i], points[i + 1], points[i + 2]);
                i += 2;
            }
            break;
        default: Problem(r, "unknown point type"); return;
        }
        if (f.U8(typesOffset + i) & PT_CLOSEFIGURE)
            path.closeSubpath();
    }
    Dc.CurrentPosition = LogicalToDevice.inverted().map(path.currentPosition());
    Emit(path, false, true);
}

QRectF TPlayer::DeviceBox(const QRectF& logical) const
{
    // Right and bottom edges are exclusive: the box ends one device pixel short.
    QRectF box = LogicalToDevice.mapRect(logical.normalized());
    box.setWidth(std::max(0.0, box.width() - 1));
    box.setHeight(std::max(0.0, box.height() - 1));
    return box;
}

void TPlayer::BoxShape(TRecord& r, std::uint32_t type)
{
    auto& f = r.Fields;
    const QRectF logical(QPointF(f.I32(8), f.I32(12)), QPointF(f.I32(16), f.I32(20)));
    const QSizeF corner(type == EMR_ROUNDRECT ? f.I32(24) : 0, type == EMR_ROUNDRECT ? f.I32(28) : 0);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    QPainterPath path;
    if (LogicalToDevice.isRotating()) {
        // Rotated boxes are the transformed figure itself.
        QPainterPath inLogical;
        if (type == EMR_ELLIPSE)
            inLogical.addEllipse(logical.normalized());
        else if (type == EMR_ROUNDRECT)
            inLogical.addRoundedRect(logical.normalized(), corner.width() / 2, corner.height() / 2);
        else
            inLogical.addRect(logical.normalized());
        path = LogicalToDevice.map(inLogical);
    } else {
        const QRectF box = DeviceBox(logical);
        if (type == EMR_ELLIPSE) {
            path.addEllipse(box);
        } else if (type == EMR_ROUNDRECT) {
            const QRectF cornerBox = LogicalToDevice.mapRect(QRectF(QPointF(0, 0), corner));
            path.addRoundedRect(box, cornerBox.width() / 2, cornerBox.height() / 2);
        } else {
            path.addRect(box);
        }
    }
    Emit(path, true, true);
}

void TPlayer::ArcShape(TRecord& r, std::uint32_t type)
{
    auto& f = r.Fields;
    const QRectF box = QRectF(QPointF(f.I32(8), f.I32(12)), QPointF(f.I32(16), f.I32(20))).normalized();
    const QPointF start(f.I32(24), f.I32(28));
    const QPointF end(f.I32(32), f.I32(36));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    if (box.isEmpty())
        return;
    // Angles of the rays through the start and end points, made parametric for
    // the ellipse; computed with y downwards, so a mirrored mapping turns the
    // visible direction round.
    const QPointF c = box.center();
    const double a = box.width() / 2, b = box.height() / 2;
    const auto parametric = [&](const QPointF& p) {
        const double ray = std::atan2(-(p.y() - c.y()), p.x() - c.x());
        return std::atan2(a * std::sin(ray), b * std::cos(ray)) * 180 / std::numbers::pi;
    };
    const double from = parametric(start);
    double sweep = parametric(end) - from;
    bool counterClockwise = Dc.ArcDirection != AD_CLOCKWISE;
    if (LogicalToDevice.determinant() < 0)
        counterClockwise = !counterClockwise;
    if (counterClockwise) {
        while (sweep <= 0)
            sweep += 360;
    } else {
        while (sweep >= 0)
            sweep -= 360;
    }
    QPainterPath inLogical;
    if (type == EMR_PIE) {
        inLogical.moveTo(c);
        inLogical.arcTo(box, from, sweep);
        inLogical.closeSubpath();
    } else {
        inLogical.arcMoveTo(box, from);
        inLogical.arcTo(box, from, sweep);
        if (type == EMR_CHORD)
            inLogical.closeSubpath();
    }
    QPainterPath path = LogicalToDevice.map(inLogical);
    if (type == EMR_ARCTO) {
        QPainterPath joined;
        joined.moveTo(LogicalToDevice.map(Dc.CurrentPosition));
        joined.connectPath(path);
        path = joined;
        Dc.CurrentPosition = inLogical.currentPosition();
    }
    const bool closed = type == EMR_CHORD || type == EMR_PIE;
    Emit(path, closed, true);
}

void TPlayer::AngleArc(TRecord& r)
{
    auto& f = r.Fields;
    const QPointF center(f.I32(8), f.I32(12));
    const double radius = f.U32(16);
    const double startAngle = f.F32(20), sweep = f.F32(24);
    if (!f.Ok() || !std::isfinite(startAngle) || !std::isfinite(sweep))
        return Problem(r, "record too short for its fields");
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath inLogical;
    inLogical.moveTo(Dc.CurrentPosition);
    QPainterPath arc;
    arc.arcMoveTo(box, startAngle);
    arc.arcTo(box, startAngle, std::clamp(sweep, -3600.0, 3600.0));
    inLogical.connectPath(arc);
    Dc.CurrentPosition = inLogical.currentPosition();
    Emit(LogicalToDevice.map(inLogical), false, true);
}

void TPlayer::LineTo(const QPointF& to)
{
    const QPointF from = LogicalToDevice.map(Dc.CurrentPosition);
    Dc.CurrentPosition = to;
    if (InPath) {
        if (Path.elementCount() == 0 || Path.currentPosition() != from)
            Path.moveTo(from);
        Path.lineTo(LogicalToDevice.map(to));
        return;
    }
    QPainterPath line;
    line.moveTo(from);
    line.lineTo(LogicalToDevice.map(to));
    StrokeDevicePath(line);
}

void TPlayer::SetPixel(TRecord& r)
{
    auto& f = r.Fields;
    const QPointF at = LogicalToDevice.map(QPointF(f.I32(8), f.I32(12)));
    const QColor color = Color(f.U32(16));
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    QPainterPath pixel;
    pixel.addRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1));
    FillDevicePath(pixel, QBrush(color));
}

void TPlayer::GradientFill(TRecord& r)
{
    auto& f = r.Fields;
    const std::uint32_t vertices = f.U32(24), meshes = f.U32(28), mode = f.U32(32);
    if (!f.Ok() || vertices > kMaxGradientVertices || !f.HasArray(36, vertices, 16))
        return Problem(r, "gradient vertices do not fit the record");
    const std::size_t meshOffset = 36 + 16 * static_cast<std::size_t>(vertices);
    const std::size_t meshSize = mode == 2 ? 12 : 8;
    if (!f.HasArray(meshOffset, meshes, meshSize))
        return Problem(r, "gradient meshes do not fit the record");
    const auto point = [&](std::uint32_t i) { return LogicalToDevice.map(QPointF(f.I32(36 + 16 * i), f.I32(40 + 16 * i))); };
    const auto color = [&](std::uint32_t i) {
        return QColor(f.U16(44 + 16 * i) >> 8, f.U16(46 + 16 * i) >> 8, f.U16(48 + 16 * i) >> 8);
    };
    for (std::uint32_t m = 0; m < meshes; ++m) {
        const std::size_t at = meshOffset + meshSize * m;
        const std::uint32_t i0 = f.U32(at), i1 = f.U32(at + 4), i2 = mode == 2 ? f.U32(at + 8) : 0;
        if (i0 >= vertices || i1 >= vertices || i2 >= vertices) {
            Problem(r, "gradient vertex index out of range");
            continue;
        }
        QPainterPath area;
        if (mode == 2) {
            // Triangles: filled with their mean colour.
            area.moveTo(point(i0));
            area.lineTo(point(i1));
            area.lineTo(point(i2));
            area.closeSubpath();
            const QColor a = color(i0), b = color(i1), c = color(i2);
            FillDevicePath(area, QColor((a.red() + b.red() + c.red()) / 3, (a.green() + b.green() + c.green()) / 3,
                                        (a.blue() + b.blue() + c.blue()) / 3));
            continue;
        }
        const QRectF rect = QRectF(point(i0), point(i1)).normalized();
        area.addRect(rect);
        const QPointF from = FrameToOutput.map(rect.topLeft());
        const QPointF to = FrameToOutput.map(mode == 0 ? rect.topRight() : rect.bottomLeft());
        QLinearGradient gradient(from, to);
        const bool forward = mode == 0 ? point(i0).x() <= point(i1).x() : point(i0).y() <= point(i1).y();
        gradient.setColorAt(0, forward ? color(i0) : color(i1));
        gradient.setColorAt(1, forward ? color(i1) : color(i0));
        FillDevicePath(area, QBrush(gradient));
    }
}

void TPlayer::BeginPath()
{
    InPath = true;
    PathFinished = false;
    Path = QPainterPath();
}

void TPlayer::PathCommand(TRecord& r, std::uint32_t type)
{
    switch (type) {
    case EMR_ENDPATH:
        InPath = false;
        PathFinished = true;
        return;
    case EMR_CLOSEFIGURE:
        if (InPath)
            Path.closeSubpath();
        return;
    case EMR_ABORTPATH:
        InPath = false;
        PathFinished = false;
        Path = QPainterPath();
        return;
    case EMR_FLATTENPATH: {
        if (!Budget.Spend({.PathSegments = Prices.Segments(FrameToOutput.map(Path))}))
            return;
        QPainterPath flat;
        for (const QPolygonF& polygon : Path.toSubpathPolygons())
            flat.addPolygon(polygon);
        Path = flat;
        return;
    }
    case EMR_WIDENPATH: {
        // Both sides of every segment, paid for before they are made.
        if (!Budget.Spend({.PathSegments = 2 * Prices.Segments(FrameToOutput.map(Path))}))
            return;
        const auto pen = OutputPen();
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(1.0, pen ? pen->widthF() / Scale(FrameToOutput) : 1.0));
        if (pen) {
            stroker.setCapStyle(pen->capStyle());
            stroker.setJoinStyle(pen->joinStyle());
        }
        Path = stroker.createStroke(Path);
        return;
    }
    default: break;
    }
    if (InPath || !PathFinished) {
        Problem(r, "path drawn before it was ended");
        InPath = false;
    }
    QPainterPath path = Path;
    path.setFillRule(Dc.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (type == EMR_FILLPATH || type == EMR_STROKEANDFILLPATH)
        if (const auto brush = OutputBrush(Dc.Brush))
            FillDevicePath(path, *brush);
    if (type == EMR_STROKEPATH || type == EMR_STROKEANDFILLPATH)
        StrokeDevicePath(path);
    Path = QPainterPath();
    PathFinished = false;
}

}  // namespace qrp::emf
