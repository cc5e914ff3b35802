#include "preview/qr_preview.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QEvent>
#include <QScrollBar>

#include "platform/emf/metafile.h"
#include "platform/rounding.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
// Without a printer the page is Letter paper, its millimetres taken as pixels at 100 %.
constexpr long double kPlaceholderWidth = 215.9L;
constexpr long double kPlaceholderLength = 279.4L;
// Pixels the page image adds to the page for its frame and shadow.
constexpr int kFrameAndShadow = 4;

// A zoom from a ratio, rounded halves to even; values beyond 32 bits end far
// outside the accepted range, so the zoom writer ignores them.
std::int32_t RoundedZoom(long double value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Round(value), std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t PlaceholderPixels(long double millimetres, std::int32_t zoom)
{
    return static_cast<std::int32_t>(Round(millimetres / 100 * zoom));
}
}  // namespace

TQRPreview::TQRPreview(QWidget* parent)
    : QScrollArea(parent), Content(new QWidget), Image(new TQRPreviewImage(Content))
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    PlaceImage(QRect(QPoint(0, 0), Image->size()));
    setWidget(Content);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    resize(250, 250);
}

TQRPreview::~TQRPreview() { DetachPrinter(); }

void TQRPreview::DetachPrinter()
{
    if (!Printer || Printer->ClientWindow != this)
        return;
    Printer->SetPreviewOpen(false);
    Printer->ClientWindow = nullptr;
}

void TQRPreview::SetReportPrinter(TQRPrinter* printer)
{
    DetachPrinter();
    Printer = printer;
    Image->SetReportPrinter(printer);
    if (Printer) {
        Printer->ClientWindow = this;
        Printer->SetPreviewOpen(true);
    }
    SetPageNumber(1);
    ShowFirstPage();
}

void TQRPreview::ShowFirstPage()
{
    Image->LoadPage(1);
    // The image now stands for page 1 even when the printer has no page (yet):
    // a number kept from the previous document would never see its page arrive.
    CurrentPage = 1;
    FollowPageSize();
    Content->update();
}

void TQRPreview::SetPageNumber(std::int32_t pageNumber)
{
    if ((pageNumber == CurrentPage && Image->PageLoaded()) || pageNumber <= 0 || !Printer ||
        pageNumber > Printer->PageTotal)
        return;
    Image->LoadPage(pageNumber);
    CurrentPage = pageNumber;
    FollowPageSize();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

std::pair<long double, long double> TQRPreview::PageExtent() const
{
    const std::pair<long double, long double> paper {Printer->PageWidth(), Printer->PageLength()};
    const TMetafile* page = Image->Recording();
    if (!page)
        return paper;
    // The frame in tenths of a millimetre; a page recorded in whole pixels
    // for the paper lies within a millimetre of it.
    constexpr int kTenthsPerInch = 254;
    constexpr long double kSamePaper = 10;
    const std::pair<long double, long double> frame {page->Width(kTenthsPerInch), page->Height(kTenthsPerInch)};
    if (frame.first <= 0 || frame.second <= 0)
        return paper;
    if (std::abs(frame.first - paper.first) > kSamePaper || std::abs(frame.second - paper.second) > kSamePaper)
        return frame;
    return paper;
}

void TQRPreview::FollowPageSize()
{
    if (!Printer || !Image->PageLoaded() || !LaidOutExtent || *LaidOutExtent == PageExtent())
        return;
    if (Mode == zmWholePage)
        ZoomWholePage();
    else if (Mode == zmPageWidth)
        ZoomPageWidth();
    else
        ApplyZoom();
}

void TQRPreview::SetZoom(std::int32_t zoom)
{
    if (zoom < 2 || zoom > 2000)
        return;
    Mode = zmFixed;
    ZoomPercent = zoom;
    ApplyZoom();
}

void TQRPreview::ApplyZoom()
{
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    if (Printer) {
        // Only the conversion to pixels rounds.
        const auto [across, down] = PageExtent();
        imageWidth = Printer->ToDeviceDX(across / 100 * ZoomPercent);
        imageHeight = Printer->ToDeviceDY(down / 100 * ZoomPercent);
        LaidOutExtent = {across, down};
    } else {
        imageWidth = PlaceholderPixels(kPlaceholderWidth, ZoomPercent);
        imageHeight = PlaceholderPixels(kPlaceholderLength, ZoomPercent);
    }
    imageWidth += kFrameAndShadow;
    imageHeight += kFrameAndShadow;
    // Centred where smaller than the control, flush with its edge where larger.
    const int left = imageWidth < width() ? (width() - imageWidth) / 2 : 0;
    const int top = imageHeight < height() ? (height() - imageHeight) / 2 : 0;
    PlaceImage(QRect(left, top, imageWidth, imageHeight));
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    Image->SetZoom(ZoomPercent);
}

void TQRPreview::ZoomWholePage()
{
    if (Printer) {
        const auto [pageWidth, pageLength] = PageExtent();
        const long double across = Printer->ToDeviceDX(pageWidth);
        const long double down = Printer->ToDeviceDY(pageLength);
        // A page of no pixels has no zoom to fit; the mode still asks again on the next resize.
        if (across > 0 && down > 0)
            SetZoom(std::min(RoundedZoom(width() / across * 95), RoundedZoom(height() / down * 95)));
    } else {
        SetZoom(std::min(RoundedZoom(width() / kPlaceholderWidth * 95), RoundedZoom(height() / kPlaceholderLength * 95)));
    }
    Mode = zmWholePage;
}

void TQRPreview::ZoomPageWidth()
{
    if (Printer) {
        const long double across = Printer->ToDeviceDX(PageExtent().first);
        if (across > 0)
            SetZoom(RoundedZoom(width() / across * 90));
    } else {
        SetZoom(RoundedZoom(width() / kPlaceholderWidth * 95));
    }
    ApplyZoom();
    Mode = zmPageWidth;
}

void TQRPreview::PlaceImage(const QRect& geometry)
{
    Image->setGeometry(geometry);
    // The scrolled area reaches to the image's far edges, so the scroll bars cover exactly the page.
    Content->resize(geometry.x() + geometry.width(), geometry.y() + geometry.height());
}

bool TQRPreview::event(QEvent* event)
{
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::Resize) {
        if (Mode == zmWholePage)
            ZoomWholePage();
        else if (Mode == zmPageWidth)
            ZoomPageWidth();
        ApplyZoom();
    }
    return handled;
}

void TQRPreview::WndProc(TMessage& message)
{
    // The counts travel in the low 16 bits of the first parameter.
    const auto value = static_cast<std::int32_t>(static_cast<std::uint16_t>(message.WParam));
    if (message.Msg == RPM_PAGEAVAILABLE)
        PageAvailable(value);
    else if (message.Msg == RPM_PROGRESS && OnProgressUpdate)
        OnProgressUpdate(this, value);
}

void TQRPreview::PageAvailable(std::int32_t pagesReady)
{
    // The page being waited for has been stored: show it at page width. A
    // notification still queued when the printer was detached finds none.
    if (pagesReady == CurrentPage && Printer && !Image->PageLoaded() && Image->PageNumber() <= Printer->PagesReady()) {
        ZoomPageWidth();
        Image->LoadPage(Image->PageNumber());
    }
    if (OnPageAvailable)
        OnPageAvailable(this, pagesReady);
}

}  // namespace qrp
