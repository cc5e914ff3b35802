#pragma once
// A page drawn in horizontal strips of bounded memory, for raster output of
// any size: each strip holds a few tens of megabytes of pixels, whatever the
// page's size and resolution, and comes out pixel for pixel as the same rows
// of the page drawn whole (emf::RenderPageImage).
//
// How: every strip is drawn onto an image of the whole page's size and
// coordinates whose memory holds only the strip's rows, with the painter
// clipped to them (pages larger than a whole page image may be are drawn
// onto such an image of that size, moved up by a multiple of 8 rows). Qt then sees the device, the coordinates and the clip of
// the whole page except for the strip's bounds, and the only drawing of its
// that depends on where a clip lies (wide lines, cut to the clip first) the
// painter device draws as filled outlines. Moving the painter by the strip's
// top instead would shift pattern brushes and dashes, round glyph positions
// on the other side of zero, and give the raster engine another device
// rectangle to cut lines and outlines to.

#include <cstddef>
#include <cstdint>
#include <memory>

#include <QImage>
#include <QSize>

#include "platform/emf/player/emf_player.h"

namespace qrp {

class TMetafile;

// Pixels one strip may hold, in bytes of RGB32.
constexpr std::size_t kStripBytes = std::size_t {32} << 20;
// The widest page: Qt's raster engine draws within 2^23 pixels of its origin.
constexpr int kMaxStripPageWidth = 1 << 22;
// PNG's limit on a side.
constexpr int kMaxStripPageHeight = 0x7FFFFFFF;
// The most pixels of one page, some ten minutes of drawing and packing here:
// A0 at 4800 dpi. A hostile page cannot ask for days of work.
constexpr std::int64_t kMaxStripPagePixels = std::int64_t {1} << 36;

// The page's frame in pixels at dotsPerInch, as emf::FramePixelSize gives it:
// frame (0.01 mm) × dpi / 2540, rounded, at least 1 × 1; empty beyond the
// limits above.
QSize StripPageSize(const TMetafile& page, double dotsPerInch);

// Draws into device (an RGB32 image; its row y is the page's row y + firstRow)
// the page's rows [top, top + rows), the frame spread over pageSize pixels. Only
// those rows of device are touched; the others need not exist in memory.
void DrawPageRows(const TMetafile& page, QSize pageSize, QImage& device, int firstRow, int top, int rows,
                  const emf::TProblemHandler& onProblem = {});

class TPageStrips {
public:
    // The page at dotsPerInch in strips of at most stripBytes; PageSize() is
    // empty when the page is too large (nothing can be drawn then).
    TPageStrips(const TMetafile& page, double dotsPerInch, std::size_t stripBytes = kStripBytes);
    ~TPageStrips();
    TPageStrips(const TPageStrips&) = delete;
    TPageStrips& operator=(const TPageStrips&) = delete;

    QSize PageSize() const { return Size; }
    // Rows of a strip; the last one may have fewer.
    int StripRows() const { return Rows; }
    int StripCount() const;

    // Strip index drawn on white: an RGB32 image of its rows, valid until the
    // next call. Playback problems go to onProblem.
    const QImage& Draw(int index, const emf::TProblemHandler& onProblem = {});

private:
    const TMetafile& Page;
    double DotsPerInch;
    QSize Size;
    int Rows = 0;
    int DeviceRows = 0;  // rows of the device a strip is drawn on
    int Shift = 0;       // rows the device moves by, a multiple of 8; 0: the whole page's coordinates
    std::unique_ptr<std::uint32_t[]> Pixels;
    QImage Strip;
};

}  // namespace qrp
