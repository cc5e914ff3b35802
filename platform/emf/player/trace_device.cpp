#include "platform/emf/player/trace_device.h"

#include <cmath>
#include <sstream>

namespace qrp::emf {

namespace {
std::string Number(double v)
{
    std::ostringstream out;
    const double rounded = std::round(v * 100) / 100;
    out << (rounded == 0 ? 0.0 : rounded);
    return out.str();
}

std::string Box(const QRectF& r)
{
    return Number(r.left()) + "," + Number(r.top()) + " " + Number(r.width()) + "x" + Number(r.height());
}

std::string Mode(QPainter::CompositionMode mode)
{
    return mode == QPainter::CompositionMode_SourceOver ? "" : " mode " + std::to_string(static_cast<int>(mode));
}

std::string ColorName(const QColor& c) { return c.name(QColor::HexRgb).toStdString(); }
}  // namespace

void TTraceDevice::SetClip(const std::optional<QRegion>& clip)
{
    if (!clip) {
        Calls.push_back("clip none");
        return;
    }
    Calls.push_back("clip " + Box(clip->boundingRect()) + " in " + std::to_string(clip->rectCount()) + " rects");
}

void TTraceDevice::FillPath(const QPainterPath& path, const QBrush& brush, QPainter::CompositionMode mode)
{
    std::string kind = ColorName(brush.color());
    if (brush.style() == Qt::TexturePattern)
        kind = "pattern " + std::to_string(brush.textureImage().width()) + "x" + std::to_string(brush.textureImage().height());
    else if (brush.gradient())
        kind = "gradient";
    Calls.push_back("fill " + Box(path.boundingRect()) + " " + kind + Mode(mode));
}

void TTraceDevice::StrokePath(const QPainterPath& path, const QPen& pen, QPainter::CompositionMode mode)
{
    std::string style = pen.style() == Qt::SolidLine ? "" : " dashed";
    Calls.push_back("stroke " + Box(path.boundingRect()) + " " + ColorName(pen.color()) + " width " +
                    Number(pen.widthF()) + style + Mode(mode));
}

void TTraceDevice::DrawText(const TTextRun& run)
{
    const QPointF at = run.Positions.empty() ? QPointF() : run.Positions.front();
    std::string line = "text '" + run.Text.toStdString() + "' at " + Number(at.x()) + "," + Number(at.y()) + " " +
                       run.Font.family().toStdString() + " " + std::to_string(run.Font.pixelSize()) + "px " +
                       ColorName(run.Color);
    if (run.Angle != 0)
        line += " angle " + Number(run.Angle);
    if (run.GlyphIndexes)
        line += " glyph indexes";
    if (run.Positions.size() > 1)
        line += " last " + Number(run.Positions.back().x()) + "," + Number(run.Positions.back().y());
    Calls.push_back(line);
}

void TTraceDevice::DrawImage(const QImage& image, const QRectF& source, const QTransform& imageToDevice,
                             QPainter::CompositionMode mode, bool smooth)
{
    Calls.push_back("image " + std::to_string(image.width()) + "x" + std::to_string(image.height()) + " source " +
                    Box(source) + " to " + Box(imageToDevice.mapRect(source)) + (smooth ? " smooth" : "") + Mode(mode));
}

std::string TTraceDevice::Text() const
{
    std::string text;
    for (const std::string& line : Calls)
        text += line + "\n";
    return text;
}

}  // namespace qrp::emf
