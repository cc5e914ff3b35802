#pragma once
// Figures as the areas they cover: glyphs placed one by one, a pen's stroke,
// a clip region. Paths bracket text into outlines with them, and devices
// that cannot clip or combine colours cut and fill these areas themselves.

#include <vector>

#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QString>

namespace qrp::emf {

// The outlines of text whose characters (a surrogate pair as one) stand at
// positions, one per UTF-16 unit, turned by angle degrees clockwise.
QPainterPath GlyphOutlines(const QString& text, const std::vector<QPointF>& positions, const QFont& font, double angle);

// The area pen covers along path; deviceScale is the length of one unit in
// device pixels, which a cosmetic pen's width is given in.
QPainterPath StrokeOutline(const QPainterPath& path, const QPen& pen, double deviceScale);

// A region as a path; one of more than maxRectangles rectangles (a region
// made from a curved path at a high resolution) as its bounding rectangle,
// so cutting figures to it stays cheap.
QPainterPath RegionOutline(const QRegion& region, int maxRectangles = 4096);

}  // namespace qrp::emf
