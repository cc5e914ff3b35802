#include "preview/tile_grid.h"

#include "preview/framed_page.h"

namespace qrp {

TTileKey TileKey(const TPageLayout& layout, int column, int row)
{
    return TTileKey {layout.Recording, layout.Size.width(), layout.Size.height(), layout.PixelRatio, column, row};
}

TPageLayout LayoutOf(const TTileKey& key)
{
    return TPageLayout {key.Recording, QSize(key.Width, key.Height), key.PixelRatio};
}

QRect DeviceBounds(const TPageLayout& layout)
{
    return QRect(QPoint(0, 0), DevicePixels(layout.Size, layout.PixelRatio));
}

QRect TileArea(const TTileKey& key)
{
    const QRect tile(key.Column * kTilePixels, key.Row * kTilePixels, kTilePixels, kTilePixels);
    return tile.intersected(DeviceBounds(LayoutOf(key)));
}

std::vector<TTileKey> TilesCovering(const TPageLayout& layout, const QRect& deviceArea)
{
    const QRect area = deviceArea.intersected(DeviceBounds(layout));
    std::vector<TTileKey> tiles;
    if (area.isEmpty())
        return tiles;
    for (int row = area.top() / kTilePixels; row <= area.bottom() / kTilePixels; ++row)
        for (int column = area.left() / kTilePixels; column <= area.right() / kTilePixels; ++column)
            tiles.push_back(TileKey(layout, column, row));
    return tiles;
}

}  // namespace qrp
