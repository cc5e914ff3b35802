#pragma once
// The page image cut into square tiles of device pixels: which tiles a page
// laid out at a size and pixel ratio has, and where each one lies.

#include <compare>
#include <cstdint>
#include <vector>

#include <QRect>
#include <QSize>

namespace qrp {

// Tiles are this many device pixels square; those along the right and bottom
// edges are cut to the page. 210 is a multiple of 2, 3, 5 and 7, so at the
// usual pixel ratios (1, 1.25, 1.5, 1.75, 2, 2.5, 3) every tile starts at an
// exact logical position and neighbouring tiles meet without rounding.
constexpr int kTilePixels = 210;
constexpr std::size_t kTileBytes = std::size_t {kTilePixels} * kTilePixels * 4;

// One page recording laid out: Recording names the recording (the same
// number for the same page content), Size is the page image in logical pixels.
struct TPageLayout {
    std::uint64_t Recording = 0;
    QSize Size;
    qreal PixelRatio = 1;

    bool operator==(const TPageLayout&) const = default;
};

struct TTileKey {
    std::uint64_t Recording = 0;
    int Width = 0;  // the page image's logical size
    int Height = 0;
    double PixelRatio = 1;
    int Column = 0;
    int Row = 0;

    auto operator<=>(const TTileKey&) const = default;
};

TTileKey TileKey(const TPageLayout& layout, int column, int row);
TPageLayout LayoutOf(const TTileKey& key);

// The page's device pixels, (0, 0) at its top left.
QRect DeviceBounds(const TPageLayout& layout);
// The tile's device pixels within the page.
QRect TileArea(const TTileKey& key);
// The tiles meeting deviceArea, row by row from the top left.
std::vector<TTileKey> TilesCovering(const TPageLayout& layout, const QRect& deviceArea);

}  // namespace qrp
