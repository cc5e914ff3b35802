#include "preview/framed_page.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QPaintEngine>
#include <QPainter>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"

namespace qrp {

void DrawFramedPage(QPainter& painter, const TMetafile* page, QSize size, QPointF origin)
{
    const int w = size.width();
    const int h = size.height();
    const auto band = [origin](int left, int top, int width, int height) {
        return QRectF(origin.x() + left, origin.y() + top, width, height);
    };
    painter.fillRect(band(1, 1, w - 4, h - 4), Qt::white);
    if (page) {
        // Moved through the target rather than the painter's transform: the
        // player's clip regions hold only for a painter without a world transform.
        painter.save();
        emf::PlayMetafile(painter, *page, QRectF(origin, QSizeF(size)));
        painter.restore();
    }
    // Filled one-pixel bands rather than lines: they cover whole device pixels at any pixel ratio.
    painter.fillRect(band(0, 0, w - 2, 1), Qt::black);
    painter.fillRect(band(0, h - 3, w - 2, 1), Qt::black);
    painter.fillRect(band(0, 0, 1, h - 2), Qt::black);
    painter.fillRect(band(w - 3, 0, 1, h - 2), Qt::black);
    painter.fillRect(band(w - 2, 2, 2, h - 2), Qt::black);
    painter.fillRect(band(2, h - 2, w - 2, 2), Qt::black);
}

QSize DevicePixels(QSize size, qreal pixelRatio)
{
    return QSize(static_cast<int>(std::ceil(size.width() * pixelRatio)),
                 static_cast<int>(std::ceil(size.height() * pixelRatio)));
}

QRect DeviceRect(const QRect& logical, qreal pixelRatio)
{
    const int left = static_cast<int>(std::floor(logical.left() * pixelRatio));
    const int top = static_cast<int>(std::floor(logical.top() * pixelRatio));
    const int right = static_cast<int>(std::ceil((logical.right() + 1) * pixelRatio));
    const int bottom = static_cast<int>(std::ceil((logical.bottom() + 1) * pixelRatio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

namespace {

// The largest page, in device pixels, drawn in the page's own coordinates:
// what a whole page image may have, as some of Qt's raster code counts an
// image's pixels in an int.
constexpr qint64 kLargestWholeDevice = qint64 {1} << 28;

// Memory for the rows of a page device that an area is drawn in, kept by each
// drawing thread from one area to the next. It is reserved, not allocated:
// the system gives it pages only where they are written, so rows as wide as a
// page zoomed far in, of which the area touches a few columns, take no more
// than the area. It is given back after an area whose rows span more than
// kKeptRowBytes.
class TRowMemory {
public:
    TRowMemory() = default;
    ~TRowMemory() { Unmap(); }
    TRowMemory(const TRowMemory&) = delete;
    TRowMemory& operator=(const TRowMemory&) = delete;

    // At least bytes of memory, or nullptr when the system has none.
    uchar* Reserve(std::size_t bytes)
    {
        if (bytes > Capacity) {
            Unmap();
            void* at = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                              -1, 0);
            if (at == MAP_FAILED)
                return nullptr;
            Data = static_cast<uchar*>(at);
            Capacity = bytes;
        }
        return Data;
    }

    // Done with an area whose rows spanned the first bytes.
    void Release(std::size_t bytes)
    {
        if (bytes > kKeptRowBytes)
            ::madvise(Data, Capacity, MADV_DONTNEED);
    }

private:
    static constexpr std::size_t kKeptRowBytes = std::size_t {16} << 20;

    void Unmap()
    {
        if (Data)
            ::munmap(Data, Capacity);
        Data = nullptr;
        Capacity = 0;
    }

    uchar* Data = nullptr;
    std::size_t Capacity = 0;
};

QImage NewArea(QSize size, qreal pixelRatio)
{
    QImage area(size, QImage::Format_ARGB32_Premultiplied);
    area.setDevicePixelRatio(pixelRatio);
    return area;
}

// The area drawn on a device of the whole page's size whose memory holds only
// the area's rows, with the painter clipped to the area: Qt sees the same
// device, coordinates and pixel grid for every area, so areas compose to the
// page drawn at once pixel for pixel.
QImage DrawInPageDevice(const TMetafile& page, QSize size, qreal pixelRatio, QSize devicePixels, const QRect& deviceArea)
{
    const qsizetype rowBytes = qsizetype {4} * devicePixels.width();
    const std::size_t rowsBytes = static_cast<std::size_t>(deviceArea.height()) * static_cast<std::size_t>(rowBytes);
    thread_local TRowMemory memory;
    uchar* const rows = memory.Reserve(rowsBytes);
    if (!rows)
        return {};
    const auto columns = [&](int y) { return rows + y * rowBytes + qsizetype {4} * deviceArea.left(); };
    const auto columnBytes = static_cast<std::size_t>(4 * deviceArea.width());
    // Transparent where nothing is drawn.
    for (int y = 0; y < deviceArea.height(); ++y)
        std::memset(columns(y), 0, columnBytes);
    {
        // The device's rows above and below the area lie outside the memory and are never touched.
        const auto before = static_cast<std::uintptr_t>(deviceArea.top()) * static_cast<std::uintptr_t>(rowBytes);
        QImage device(reinterpret_cast<uchar*>(reinterpret_cast<std::uintptr_t>(rows) - before), devicePixels.width(),
                      devicePixels.height(), rowBytes, QImage::Format_ARGB32_Premultiplied);
        device.setDevicePixelRatio(pixelRatio);
        // The engine's own clip, in device pixels, beneath the painter's: the
        // page sees a painter without a clip, as when it is drawn at once.
        device.paintEngine()->setSystemClip(QRegion(deviceArea));
        QPainter painter(&device);
        DrawFramedPage(painter, &page, size);
    }
    QImage area = NewArea(deviceArea.size(), pixelRatio);
    if (!area.isNull())
        for (int y = 0; y < deviceArea.height(); ++y)
            std::memcpy(area.scanLine(y), columns(y), columnBytes);
    memory.Release(rowsBytes);
    return area;
}

}  // namespace

QImage RenderFramedPageArea(const TMetafile& page, QSize size, qreal pixelRatio, const QRect& deviceArea)
{
    const QSize devicePixels = DevicePixels(size, pixelRatio);
    const QRect inside = deviceArea.intersected(QRect(QPoint(0, 0), devicePixels));
    if (inside == deviceArea && qint64 {devicePixels.width()} * devicePixels.height() <= kLargestWholeDevice)
        return DrawInPageDevice(page, size, pixelRatio, devicePixels, deviceArea);
    // Larger pages are moved by whole device pixels onto an image of the area;
    // glyph edges crossing the area's border may then differ a little from the
    // page drawn as one area.
    QImage area = NewArea(deviceArea.size(), pixelRatio);
    if (area.isNull())
        return area;
    area.fill(Qt::transparent);
    QPainter painter(&area);
    DrawFramedPage(painter, &page, size, QPointF(-deviceArea.x() / pixelRatio, -deviceArea.y() / pixelRatio));
    return area;
}

}  // namespace qrp
