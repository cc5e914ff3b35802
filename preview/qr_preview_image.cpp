#include "preview/qr_preview_image.h"

#include <exception>

#include <QColor>
#include <QPaintEvent>
#include <QPainter>

#include "platform/emf/metafile.h"
#include "preview/page_tiles.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
// How long showing a new page or zoom waits for its tiles before it shows
// the white page: long enough for a typical page, short enough to feel at once.
constexpr std::chrono::milliseconds kPromptWait(40);

// Translucent, so the text stays readable under its mark.
QColor MarkColour(TTextMarkKind kind)
{
    switch (kind) {
    case TTextMarkKind::CurrentHit:
        return {255, 120, 0, 130};
    case TTextMarkKind::Selection:
        return {30, 100, 230, 90};
    case TTextMarkKind::Hit:
    default:
        return {255, 210, 0, 110};
    }
}
}  // namespace

TQRPreviewImage::TQRPreviewImage(QWidget* parent)
    : QWidget(parent),
      Tiles(std::make_unique<TPageTiles>(TPageTiles::kDefaultBudgetBytes,
                                         [this](const QRect& arrived) { update(arrived); }))
{
    resize(100, 50);
}

TQRPreviewImage::~TQRPreviewImage() = default;

void TQRPreviewImage::LoadPage(std::int32_t pageNumber)
{
    ShownPage = pageNumber;
    Page.reset();
    try {
        Page = Fetch(pageNumber);
    } catch (...) {
        Tiles->ShowPages(nullptr, nullptr, nullptr);
        throw;
    }
    if (!Page) {
        Tiles->ShowPages(nullptr, nullptr, nullptr);
    } else {
        std::shared_ptr<const TMetafile> previous = Neighbour(pageNumber - 1);
        std::shared_ptr<const TMetafile> next = Neighbour(pageNumber + 1);
        Recent = {{pageNumber, Page}};
        for (const auto& [number, recording] : {std::pair {pageNumber - 1, previous}, std::pair {pageNumber + 1, next}})
            if (recording)
                Recent.emplace(number, recording);
        Tiles->ShowPages(Page, std::move(previous), std::move(next));
        FollowLayout();
        // Paging leaves the view at the page's top left.
        Tiles->Plan(QRect(QPoint(0, 0), ViewedArea().size()));
        Tiles->WaitForView(kPromptWait);
    }
    repaint();
}

void TQRPreviewImage::SetReportPrinter(TQRPrinter* printer)
{
    Printer = printer;
    ForgetPages();
}

void TQRPreviewImage::ForgetPages() { Recent.clear(); }

std::shared_ptr<const TMetafile> TQRPreviewImage::Fetch(std::int32_t pageNumber)
{
    if (const auto kept = Recent.find(pageNumber); kept != Recent.end())
        return kept->second;
    return Printer ? std::shared_ptr<const TMetafile>(Printer->GetPage(pageNumber)) : nullptr;
}

std::shared_ptr<const TMetafile> TQRPreviewImage::Neighbour(std::int32_t pageNumber)
{
    try {
        return Fetch(pageNumber);
    } catch (const std::exception&) {
        // Drawing ahead is optional; a page that cannot be read says so when it is shown.
        return nullptr;
    }
}

bool TQRPreviewImage::WaitUntilRendered(std::chrono::milliseconds timeout)
{
    if (!Page)
        return true;
    FollowLayout();
    Tiles->Plan(ViewedArea());
    const bool drawn = Tiles->WaitForPlan(timeout);
    update();
    return drawn;
}

std::size_t TQRPreviewImage::TileRenderings() const { return Tiles->Renderer().TilesDrawn(); }

QRect TQRPreviewImage::ViewedArea() const
{
    const QRect visible = visibleRegion().boundingRect();
    return isVisible() && !visible.isEmpty() ? visible : rect();
}

bool TQRPreviewImage::FollowLayout() { return Tiles->SetLayout(size(), devicePixelRatioF()); }

void TQRPreviewImage::paintEvent(QPaintEvent* event)
{
    // Without a page nothing is drawn: the parent's background shows.
    PaintedWholeView = !Page;
    if (!Page)
        return;
    const bool newLayout = FollowLayout();
    Tiles->Plan(ViewedArea() | event->rect());
    if (newLayout)
        Tiles->WaitForView(kPromptWait);
    QPainter painter(this);
    Tiles->Paint(painter, event->rect());
    PaintMarks(painter, event->rect());
    PaintedWholeView = Tiles->ViewHeld();
}

void TQRPreviewImage::SetMarkSource(TTextMarkSource source)
{
    Marks = std::move(source);
    update();
}

void TQRPreviewImage::SetSelectionMarks(std::vector<QRectF> boxes)
{
    Selection = std::move(boxes);
    update();
}

QRectF TQRPreviewImage::ImageArea(const QRectF& fractions) const
{
    // The recording is stretched over the whole image, its frame and shadow included.
    return {fractions.x() * width(), fractions.y() * height(), fractions.width() * width(),
            fractions.height() * height()};
}

void TQRPreviewImage::PaintMarks(QPainter& painter, const QRect& area) const
{
    std::vector<TTextMark> marks = Marks ? Marks(ShownPage) : std::vector<TTextMark> {};
    for (const QRectF& box : Selection)
        marks.push_back({box, TTextMarkKind::Selection});
    for (const TTextMark& mark : marks) {
        const QRectF box = ImageArea(mark.Box);
        if (box.intersects(QRectF(area)))
            painter.fillRect(box, MarkColour(mark.Kind));
    }
}

}  // namespace qrp
