#pragma once
// Bitmaps whose records draw them see-through: per-pixel alpha as the
// platform blends it, masks given as raster-operation pairs or as the mask of
// MaskBlt. Each is turned into one image with alpha, so every device draws it
// the same way, vector devices included, which have no raster operations.

#include <cstdint>
#include <optional>

#include <QImage>

namespace qrp::emf {

// A 32-bit source of AlphaBlend as a premultiplied image: the colour bytes
// are taken as already multiplied by alpha; a channel larger than its alpha
// (a source that was not premultiplied) is held at the alpha, as a blend of
// such a pixel over white gives white either way and never wraps.
QImage PremultipliedSource(const QImage& image);

// The picture a mask blitted with SRCAND followed by an image blitted with
// SRCPAINT or SRCINVERT onto the same place leaves (the way icons and
// masked logos are recorded): the image where the mask is black, the
// destination where the mask is white and the image black. Both are the
// same size. None when another pixel would need the destination's colour
// (a grey mask, or colour under a white mask), so the pair must be drawn as
// its raster operations.
std::optional<QImage> MergeMaskPair(const QImage& mask, const QImage& image);

// MaskBlt: where the mask (a monochrome bitmap, its pixels light or dark) is
// light, the foreground operation applies, elsewhere the background one
// (the top byte of the quaternary raster operation). Operations that copy
// the source, keep the destination, or paint black or white are exact;
// others copy the source. The result has the source's size; the mask is
// read from maskOrigin on and counts as light outside itself, as GDI's
// monochrome masks do past their edge.
QImage ApplyMaskBlt(const QImage& source, const QImage& mask, QPoint maskOrigin, std::uint32_t quaternaryRop);

}  // namespace qrp::emf
