#include "preview/qr_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <limits>

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/emf/metafile.h"
#include "platform/rounding.h"
#include "preview/page_text_cache.h"
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

// The percentages zooming in and out steps through, within the accepted 2..2000.
constexpr std::array<std::int32_t, 19> kZoomLadder {2,   5,   10,  25,  33,  50,  67,  75,  100, 125,
                                                    150, 200, 300, 400, 600, 800, 1200, 1600, 2000};
// One notch of a mouse wheel in angle units.
constexpr int kWheelNotch = 120;
// How many notches past the page's end or start the wheel must push before the page turns.
constexpr double kPageTurnResistance = 3;
}  // namespace

TQRPreview::TQRPreview(QWidget* parent)
    : QScrollArea(parent), Content(new QWidget), Image(new TQRPreviewImage(Content)),
      TextCache(std::make_shared<TPageTextCache>())
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
    // Whatever was read of the pages belonged to the document before.
    TextCache->Clear();
    ClearSelection();
    Image->ForgetPages();
    Image->LoadPage(1);
    // The image now stands for page 1 even when the printer has no page (yet):
    // a number kept from the previous document would never see its page arrive.
    CurrentPage = 1;
    FollowPageSize();
    Content->update();
    if (OnDocumentChange)
        OnDocumentChange(this);
}

void TQRPreview::SetPageNumber(std::int32_t pageNumber)
{
    if ((pageNumber == CurrentPage && Image->PageLoaded()) || pageNumber <= 0 || !Printer ||
        pageNumber > Printer->PageTotal)
        return;
    ClearSelection();
    Image->LoadPage(pageNumber);
    CurrentPage = pageNumber;
    PushPastEdge = 0;
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

std::int32_t TQRPreview::ZoomStepIn(std::int32_t zoom)
{
    const auto above = std::upper_bound(kZoomLadder.begin(), kZoomLadder.end(), zoom);
    return above == kZoomLadder.end() ? zoom : *above;
}

std::int32_t TQRPreview::ZoomStepOut(std::int32_t zoom)
{
    const auto atOrAbove = std::lower_bound(kZoomLadder.begin(), kZoomLadder.end(), zoom);
    return atOrAbove == kZoomLadder.begin() ? zoom : *std::prev(atOrAbove);
}

void TQRPreview::ZoomIn() { ZoomAbout(ZoomStepIn(ZoomPercent), QRectF(viewport()->rect()).center()); }

void TQRPreview::ZoomOut() { ZoomAbout(ZoomStepOut(ZoomPercent), QRectF(viewport()->rect()).center()); }

QRectF TQRPreview::PageArea() const
{
    return QRectF(Image->geometry()).adjusted(0, 0, -kFrameAndShadow, -kFrameAndShadow);
}

void TQRPreview::ZoomAbout(std::int32_t zoom, QPointF viewportPoint)
{
    if (zoom < 2 || zoom > 2000)
        return;
    // Where the point lies on the page, as fractions of the page's width and height.
    const QRectF before = PageArea();
    const QPointF inArea = viewportPoint + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QPointF onPage((inArea.x() - before.x()) / std::max(1.0, before.width()),
                         (inArea.y() - before.y()) / std::max(1.0, before.height()));
    SetZoom(zoom);
    const QRectF after = PageArea();
    horizontalScrollBar()->setValue(qRound(after.x() + onPage.x() * after.width() - viewportPoint.x()));
    verticalScrollBar()->setValue(qRound(after.y() + onPage.y() * after.height() - viewportPoint.y()));
}

bool TQRPreview::TurnPage(std::int32_t step)
{
    const std::int32_t before = CurrentPage;
    if (OnPageTurn)
        OnPageTurn(this, step);
    else
        SetPageNumber(CurrentPage + step);
    PushPastEdge = 0;
    if (CurrentPage == before)
        return false;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(step > 0 ? bar->minimum() : bar->maximum());
    return true;
}

void TQRPreview::ScrollScreen(int direction)
{
    QScrollBar* bar = verticalScrollBar();
    if (bar->value() == (direction > 0 ? bar->maximum() : bar->minimum()))
        TurnPage(direction > 0 ? 1 : -1);
    else
        bar->triggerAction(direction > 0 ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
}

// The wheel reaches the control from its viewport, in the viewport's coordinates.
void TQRPreview::wheelEvent(QWheelEvent* event)
{
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        WheelZoom(*event);
        return;
    }
    const int before = verticalScrollBar()->value();
    QScrollArea::wheelEvent(event);
    event->accept();
    const bool vertical = std::abs(event->angleDelta().y()) > std::abs(event->angleDelta().x()) ||
                          std::abs(event->pixelDelta().y()) > std::abs(event->pixelDelta().x());
    if (!vertical)
        return;
    if (verticalScrollBar()->value() != before)
        PushPastEdge = 0;
    else
        PushAgainstEdge(*event);
}

void TQRPreview::PushAgainstEdge(const QWheelEvent& event)
{
    // Notches towards the page's end are positive. A trackpad's pixels count as
    // notches of as many pixels as one notch scrolls.
    const double pixelsPerNotch = std::max(1, QApplication::wheelScrollLines() * verticalScrollBar()->singleStep());
    double notches = event.pixelDelta().y() != 0 ? -event.pixelDelta().y() / pixelsPerNotch
                                                 : -event.angleDelta().y() / double(kWheelNotch);
    // The scroll bar reads an inverted wheel the other way round; so does the page turn.
    if (event.inverted())
        notches = -notches;
    const QScrollBar* bar = verticalScrollBar();
    const bool againstEdge = notches > 0 ? bar->value() == bar->maximum() : bar->value() == bar->minimum();
    if (notches == 0 || !againstEdge) {
        PushPastEdge = 0;
        return;
    }
    // A push the other way starts the resistance over.
    if (PushPastEdge * notches < 0)
        PushPastEdge = 0;
    PushPastEdge += notches;
    if (std::abs(PushPastEdge) >= kPageTurnResistance)
        TurnPage(PushPastEdge > 0 ? 1 : -1);
}

void TQRPreview::WheelZoom(const QWheelEvent& event)
{
    ZoomWheelDelta += event.angleDelta().y();
    const int steps = ZoomWheelDelta / kWheelNotch;
    ZoomWheelDelta %= kWheelNotch;
    std::int32_t zoom = ZoomPercent;
    for (int i = 0; i < std::abs(steps); ++i)
        zoom = steps > 0 ? ZoomStepIn(zoom) : ZoomStepOut(zoom);
    if (zoom != ZoomPercent)
        ZoomAbout(zoom, event.position());
}

void TQRPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QScrollArea::mousePressEvent(event);
        return;
    }
    event->accept();
    if (SelectMode || (event->modifiers() & Qt::ShiftModifier)) {
        // On the page image, whose coordinates stay put while the view scrolls.
        SelectStart = Image->mapFrom(viewport(), event->position());
        PanStart.reset();
        viewport()->setCursor(Qt::IBeamCursor);
        SelectBetween(*SelectStart, *SelectStart);
        return;
    }
    // Global positions: the page moves under the pointer while it pans.
    PanStart = event->globalPosition();
    PanOrigin = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void TQRPreview::mouseMoveEvent(QMouseEvent* event)
{
    if (SelectStart && (event->buttons() & Qt::LeftButton)) {
        SelectBetween(*SelectStart, Image->mapFrom(viewport(), event->position()));
        event->accept();
        return;
    }
    if (!PanStart || !(event->buttons() & Qt::LeftButton)) {
        QScrollArea::mouseMoveEvent(event);
        return;
    }
    const QPoint moved = (event->globalPosition() - *PanStart).toPoint();
    horizontalScrollBar()->setValue(PanOrigin.x() - moved.x());
    verticalScrollBar()->setValue(PanOrigin.y() - moved.y());
    event->accept();
}

void TQRPreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && SelectStart) {
        SelectBetween(*SelectStart, Image->mapFrom(viewport(), event->position()));
        SelectStart.reset();
        RestoreCursor();
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton || !PanStart) {
        QScrollArea::mouseReleaseEvent(event);
        return;
    }
    PanStart.reset();
    RestoreCursor();
    event->accept();
}

void TQRPreview::RestoreCursor()
{
    if (SelectMode)
        viewport()->setCursor(Qt::IBeamCursor);
    else
        viewport()->unsetCursor();
}

void TQRPreview::SetSelectionMode(bool on)
{
    SelectMode = on;
    RestoreCursor();
}

std::shared_ptr<const TPageTextEntry> TQRPreview::ShownPageText()
{
    const std::shared_ptr<const TMetafile> recording = Image->SharedRecording();
    if (!recording)
        return nullptr;
    try {
        return TextCache->Text(Image->PageNumber(), TextCache->Generation(), [&] { return recording; });
    } catch (const std::exception&) {
        // A page whose words cannot be read has none to select.
        return nullptr;
    }
}

void TQRPreview::SelectBetween(QPointF from, QPointF to)
{
    const double width = std::max(1, Image->width());
    const double height = std::max(1, Image->height());
    const QRectF area = QRectF(QPointF(from.x() / width, from.y() / height), QPointF(to.x() / width, to.y() / height));
    SelectedPage = ShownPageText();
    Selected = SelectedPage ? WordsTouched(*SelectedPage, area) : std::vector<TWordRef> {};
    ShowSelection();
}

void TQRPreview::SelectAll()
{
    SelectedPage = ShownPageText();
    Selected = SelectedPage ? AllWords(*SelectedPage) : std::vector<TWordRef> {};
    ShowSelection();
}

void TQRPreview::ClearSelection()
{
    SelectedPage.reset();
    Selected.clear();
    SelectStart.reset();
    ShowSelection();
}

void TQRPreview::ShowSelection()
{
    Image->SetSelectionMarks(SelectedPage ? WordBoxes(*SelectedPage, Selected) : std::vector<QRectF> {});
}

QString TQRPreview::SelectedText() const { return SelectedPage ? WordsText(*SelectedPage, Selected) : QString(); }

void TQRPreview::RevealPageArea(const QRectF& area)
{
    // A margin of context round the area, as far as the view is large enough for it.
    constexpr int kMargin = 48;
    const QRectF onContent = Image->ImageArea(area).translated(Image->pos());
    const QPointF middle = onContent.center();
    ensureVisible(qRound(middle.x()), qRound(middle.y()), qRound(onContent.width() / 2) + kMargin,
                  qRound(onContent.height() / 2) + kMargin);
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
        const std::int32_t zoom = ZoomPercent;
        const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
        if (Mode == zmWholePage)
            ZoomWholePage();
        else if (Mode == zmPageWidth)
            ZoomPageWidth();
        ApplyZoom();
        // At the same zoom the view stays where it was (as far as the new
        // size lets it): a bar shown above the page must not move it.
        if (ZoomPercent == zoom) {
            horizontalScrollBar()->setValue(scrolled.x());
            verticalScrollBar()->setValue(scrolled.y());
        }
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
        ClearSelection();
        ZoomPageWidth();
        Image->LoadPage(Image->PageNumber());
    }
    if (OnPageAvailable)
        OnPageAvailable(this, pagesReady);
}

}  // namespace qrp
