#include "preview/qr_preview_image.h"

#include <cmath>

#include <QPaintEvent>
#include <QPainter>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_player.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
// Pages whose picture would take more device pixels than this (a page at a
// high zoom) are played straight onto the screen, area by area, instead of kept.
constexpr qint64 kMaxKeptPixels = 32LL * 1024 * 1024;

// The page in logical pixels: white inside the frame, the recording stretched
// over the whole size, then a one-pixel frame round (0, 0)–(w − 3, h − 3) and
// a two-pixel shadow along the right and bottom edges.
void DrawFramedPage(QPainter& painter, const TMetafile& page, QSize size)
{
    const int w = size.width();
    const int h = size.height();
    painter.fillRect(QRect(1, 1, w - 4, h - 4), Qt::white);
    painter.save();
    emf::PlayMetafile(painter, page, QRectF(0, 0, w, h));
    painter.restore();
    // Filled one-pixel bands rather than lines: they cover whole device pixels at any pixel ratio.
    painter.fillRect(QRect(0, 0, w - 2, 1), Qt::black);
    painter.fillRect(QRect(0, h - 3, w - 2, 1), Qt::black);
    painter.fillRect(QRect(0, 0, 1, h - 2), Qt::black);
    painter.fillRect(QRect(w - 3, 0, 1, h - 2), Qt::black);
    painter.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
    painter.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
}

QSize DevicePixels(QSize size, qreal pixelRatio)
{
    return QSize(static_cast<int>(std::ceil(size.width() * pixelRatio)),
                 static_cast<int>(std::ceil(size.height() * pixelRatio)));
}
}  // namespace

TQRPreviewImage::TQRPreviewImage(QWidget* parent) : QWidget(parent)
{
    resize(100, 50);
}

TQRPreviewImage::~TQRPreviewImage() = default;

void TQRPreviewImage::LoadPage(std::int32_t pageNumber)
{
    ShownPage = pageNumber;
    Page.reset();
    Rendered = QImage();
    if (Printer)
        Page = Printer->GetPage(pageNumber);
    repaint();
}

void TQRPreviewImage::paintEvent(QPaintEvent*)
{
    // Without a page nothing is drawn: the parent's background shows.
    if (!Page)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const QSize device = DevicePixels(size(), ratio);
    if (static_cast<qint64>(device.width()) * device.height() <= kMaxKeptPixels)
        painter.drawImage(QPoint(0, 0), RenderedPage(ratio));
    else
        DrawFramedPage(painter, *Page, size());
}

const QImage& TQRPreviewImage::RenderedPage(qreal pixelRatio)
{
    const QSize device = DevicePixels(size(), pixelRatio);
    if (!Rendered.isNull() && Rendered.size() == device && Rendered.devicePixelRatio() == pixelRatio)
        return Rendered;
    // Drawn at device resolution so the page stays sharp on dense screens; the
    // pixel ratio keeps the layout in logical pixels.
    Rendered = QImage(device, QImage::Format_ARGB32_Premultiplied);
    Rendered.setDevicePixelRatio(pixelRatio);
    Rendered.fill(Qt::transparent);
    QPainter painter(&Rendered);
    DrawFramedPage(painter, *Page, size());
    painter.end();
    ++Renderings;
    return Rendered;
}

}  // namespace qrp
