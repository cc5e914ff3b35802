#include "export/page_strips.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QPainter>

#include "platform/emf/metafile.h"
#include "report/qr_export_filter.h"

namespace qrp {

namespace {

// The largest device a strip is drawn on: what a whole page image may be
// (emf::RenderPageImage), as some of Qt's raster code counts pixels of an
// image in an int, and well within the 2^23 pixels of its coordinates. Larger
// pages are drawn onto such a device moved up by whole multiples of 8 rows
// (the period of the hatch patterns).
constexpr std::int64_t kDevicePixels = std::int64_t {1} << 28;
constexpr int kDeviceRows = 1 << 21;

int DotsPerMeter(double dotsPerInch) { return static_cast<int>(std::lround(dotsPerInch / 0.0254)); }

}  // namespace

QSize StripPageSize(const TMetafile& page, double dotsPerInch)
{
    const auto& frame = page.Header().Frame;
    const double width = std::round((static_cast<double>(frame.Right) - frame.Left) * dotsPerInch / 2540);
    const double height = std::round((static_cast<double>(frame.Bottom) - frame.Top) * dotsPerInch / 2540);
    if (!std::isfinite(width) || !std::isfinite(height))
        return {};
    const double w = std::max(width, 1.0);
    const double h = std::max(height, 1.0);
    if (w > kMaxStripPageWidth || h > kMaxStripPageHeight || w * h > static_cast<double>(kMaxStripPagePixels))
        return {};
    return QSize(static_cast<int>(w), static_cast<int>(h));
}

void DrawPageRows(const TMetafile& page, QSize pageSize, QImage& device, int firstRow, int top, int rows,
                  const emf::TProblemHandler& onProblem)
{
    QPainter painter(&device);
    painter.setClipRect(QRect(0, top - firstRow, pageSize.width(), rows));
    emf::PlayMetafile(painter, page, QRectF(QPointF(0, -static_cast<double>(firstRow)), QSizeF(pageSize)), onProblem);
    painter.end();
}

TPageStrips::TPageStrips(const TMetafile& page, double dotsPerInch, std::size_t stripBytes)
    : Page(page), DotsPerInch(dotsPerInch), Size(StripPageSize(page, dotsPerInch))
{
    if (Size.isEmpty())
        return;
    const std::int64_t width = Size.width();
    const std::int64_t height = Size.height();
    const bool whole = width * height <= kDevicePixels && height <= kDeviceRows;
    DeviceRows = static_cast<int>(whole ? height : std::min({height, kDevicePixels / width, std::int64_t {kDeviceRows}}));
    const auto rowBytes = static_cast<std::size_t>(4 * width);
    const std::size_t fit = std::max<std::size_t>(stripBytes / rowBytes, 1);
    Rows = static_cast<int>(std::min<std::size_t>(fit, static_cast<std::size_t>(whole ? DeviceRows : DeviceRows / 2)));
    // A strip starts less than Shift rows below its device's top and ends within it.
    Shift = whole ? 0 : (DeviceRows - Rows) / 8 * 8;
    Pixels.reset(new std::uint32_t[static_cast<std::size_t>(Rows) * static_cast<std::size_t>(width)]);
}

TPageStrips::~TPageStrips() = default;

int TPageStrips::StripCount() const
{
    return Rows == 0 ? 0 : static_cast<int>((static_cast<std::int64_t>(Size.height()) + Rows - 1) / Rows);
}

const QImage& TPageStrips::Draw(int index, const emf::TProblemHandler& onProblem)
{
    if (index < 0 || index >= StripCount())
        throw EQRExportError("no such strip of the page");
    const int top = static_cast<int>(static_cast<std::int64_t>(index) * Rows);
    const int rows = std::min(Rows, Size.height() - top);
    const qsizetype rowBytes = qsizetype {4} * Size.width();
    std::memset(Pixels.get(), 0xFF, static_cast<std::size_t>(rows) * static_cast<std::size_t>(rowBytes));

    // The device's rows above the strip lie before the strip's memory and are
    // never drawn: the painter is clipped to the strip's rows.
    const int firstRow = Shift == 0 ? 0 : top - top % Shift;
    const int deviceRows = std::min(Size.height() - firstRow, DeviceRows);
    const auto before = static_cast<std::uintptr_t>(top - firstRow) * static_cast<std::uintptr_t>(rowBytes);
    const auto start = reinterpret_cast<std::uintptr_t>(Pixels.get());
    if (start < before)
        throw EQRExportError("the page is too large to render at this resolution");
    {
        QImage device(reinterpret_cast<uchar*>(start - before), Size.width(), deviceRows, rowBytes,
                      QImage::Format_RGB32);
        device.setDotsPerMeterX(DotsPerMeter(DotsPerInch));
        device.setDotsPerMeterY(DotsPerMeter(DotsPerInch));
        DrawPageRows(Page, Size, device, firstRow, top, rows, onProblem);
    }
    Strip = QImage(reinterpret_cast<uchar*>(Pixels.get()), Size.width(), rows, rowBytes, QImage::Format_RGB32);
    Strip.setDotsPerMeterX(DotsPerMeter(DotsPerInch));
    Strip.setDotsPerMeterY(DotsPerMeter(DotsPerInch));
    return Strip;
}

}  // namespace qrp
