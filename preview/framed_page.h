#pragma once
// The page image's picture: white inside a one-pixel black frame, the page's
// recording stretched over the whole image, and a two-pixel shadow along the
// right and bottom edges, drawn whole or one area of device pixels at a time.

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

class QPainter;

namespace qrp {

class TMetafile;

// Draws the framed page of the given size in the painter's logical pixels,
// its top left at origin; without a recording only the white page, its frame
// and its shadow.
void DrawFramedPage(QPainter& painter, const TMetafile* page, QSize size, QPointF origin = {});

// The device pixels of size at pixelRatio, whole pixels covering the last fraction.
QSize DevicePixels(QSize size, qreal pixelRatio);

// The smallest device-pixel rectangle covering a logical one.
QRect DeviceRect(const QRect& logical, qreal pixelRatio);

// One area of the framed page drawn at pixelRatio: deviceArea in the page's
// device pixels, as a premultiplied image of that pixel ratio, transparent
// where nothing is drawn. Areas that tile the page compose to the page drawn
// as one area: each is drawn on a device of the whole page's size clipped to
// the area (pages of up to 2^28 device pixels), or the page is moved by
// whole device pixels onto the area.
QImage RenderFramedPageArea(const TMetafile& page, QSize size, qreal pixelRatio, const QRect& deviceArea);

}  // namespace qrp
