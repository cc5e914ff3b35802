#pragma once
// The on-screen view of a report document: a scrolling container holding one
// page image, the number of the page shown, the zoom (whole page, page width
// or a fixed percentage) and the report printer's notifications turned into
// events. The attached printer posts RPM_PAGEAVAILABLE and RPM_PROGRESS here.
//
// The mouse: the wheel scrolls and, pushed on past the page's end or start,
// turns the page; Ctrl+wheel zooms about the pointer; dragging with the left
// button pans, or, with Shift held or in selection mode, selects the words
// the dragged rectangle touches. A resize applies the zoom rule again; at an
// unchanged zoom the view keeps its place.
//
// The words of the pages are read once into a page text cache that the
// control shares with a search (TTextFinder) and drops with the document.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QPoint>
#include <QRectF>
#include <QScrollArea>
#include <QString>

#include "platform/messages/messages.h"
#include "preview/text_selection.h"

namespace qrp {

class TQRPrinter;
class TQRPreviewImage;
class TQRPreview;
class TPageTextCache;
struct TPageTextEntry;

enum TQRPreviewZoomMode : std::uint8_t { zmWholePage = 0, zmPageWidth = 1, zmFixed = 2 };

using TQRPageAvailableEvent = std::function<void(TQRPreview* sender, std::int32_t pageNum)>;
using TQRProgressUpdateEvent = std::function<void(TQRPreview* sender, std::int32_t progress)>;
// step: +1 for the next page, −1 for the previous one.
using TQRPageTurnEvent = std::function<void(TQRPreview* sender, std::int32_t step)>;
using TQRDocumentChangeEvent = std::function<void(TQRPreview* sender)>;

class TQRPreview : public QScrollArea, public TMessageTarget {
public:
    explicit TQRPreview(QWidget* parent = nullptr);
    // Detaches a printer still attached; the page image goes with the control.
    ~TQRPreview() override;

    TQRPageAvailableEvent OnPageAvailable;
    TQRProgressUpdateEvent OnProgressUpdate;
    // The user turns the page with the wheel or by scrolling a screen past the
    // page's end or start. A host assigns it to change pages its own way (its
    // page counter follows); without it the control changes the page itself.
    TQRPageTurnEvent OnPageTurn;
    // The control shows page 1 of a document (a new one, or none) and has
    // dropped the words it read from the one before.
    TQRDocumentChangeEvent OnDocumentChange;

    // Attaches a printer (this control becomes its client window and its
    // preview is open) or detaches with nullptr, then shows page 1. A host
    // detaches a printer before freeing it.
    TQRPrinter* ReportPrinter() const { return Printer; }
    // Loads page 1 of the printer's document and stands on it, also when the
    // document has no page: after a new document, or when the printer lost its own.
    void ShowFirstPage();
    void SetReportPrinter(TQRPrinter* printer);

    // Pages outside 1..PageTotal, and any page without a printer, are ignored.
    std::int32_t PageNumber() const { return CurrentPage; }
    void SetPageNumber(std::int32_t pageNumber);

    // Percent; values outside 2..2000 are ignored. Setting it fixes the zoom.
    std::int32_t Zoom() const { return ZoomPercent; }
    void SetZoom(std::int32_t zoom);
    TQRPreviewZoomMode ZoomMode() const { return Mode; }
    void ZoomWholePage();
    void ZoomPageWidth();
    // Sizes the page image for the zoom and centres it where it is smaller than the control.
    void ApplyZoom();

    // The zoom ladder: the next percentage above or below zoom (zoom itself at the ends).
    static std::int32_t ZoomStepIn(std::int32_t zoom);
    static std::int32_t ZoomStepOut(std::int32_t zoom);
    // One step of the ladder, about the middle of the view.
    void ZoomIn();
    void ZoomOut();
    // Sets a fixed zoom keeping the document point under viewportPoint (in the
    // viewport's coordinates) under it, as far as the scroll ranges allow.
    void ZoomAbout(std::int32_t zoom, QPointF viewportPoint);

    // One screen down (direction +1) or up (−1); at the page's end or start the
    // page turns instead, landing at the new page's top or bottom.
    void ScrollScreen(int direction);
    // Turns the page (OnPageTurn, or directly) and lands at the new page's top
    // (step +1) or bottom (step −1); false when the page did not change.
    bool TurnPage(std::int32_t step);

    // Wheel notches pushed against the page's end (positive) or start
    // (negative) that have not turned the page yet.
    double WheelPushPastEdge() const { return PushPastEdge; }

    TQRPreviewImage* PageImage() const { return Image; }

    // The words of the document's pages read so far; cleared with the document.
    const std::shared_ptr<TPageTextCache>& PageTexts() const { return TextCache; }
    // The words of the page shown, read now if not yet; none without a page.
    std::shared_ptr<const TPageTextEntry> ShownPageText();

    // Plain left-button dragging selects words instead of panning.
    bool SelectionMode() const { return SelectMode; }
    void SetSelectionMode(bool on);
    // The selection is on the page shown; turning the page drops it.
    void SelectAll();
    void ClearSelection();
    bool HasSelection() const { return !Selected.empty(); }
    // The selected words in reading order: lines joined by line ends, words by spaces.
    QString SelectedText() const;
    // Selects the words that the rectangle between two points of the page
    // image (in its own coordinates) touches.
    void SelectBetween(QPointF from, QPointF to);

    // Scrolls as little as brings area (fractions of the page shown) into view with a margin.
    void RevealPageArea(const QRectF& area);

    void WndProc(TMessage& message) override;

protected:
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The page's size in tenths of a millimetre: the printer's paper, unless
    // the page shown was recorded for another size, which then wins so that
    // no page is shown distorted.
    std::pair<long double, long double> PageExtent() const;
    // Lays the page out again when the page just loaded has another size than
    // the one laid out, keeping the zoom mode.
    void FollowPageSize();
    void DetachPrinter();
    void PageAvailable(std::int32_t pagesReady);
    void PlaceImage(const QRect& geometry);
    // The page without the image's frame and shadow, in the scrolled area's coordinates.
    QRectF PageArea() const;
    void WheelZoom(const QWheelEvent& event);
    // The wheel scrolled nothing: count the push against the edge, turn the page past the resistance.
    void PushAgainstEdge(const QWheelEvent& event);

    QWidget* Content;  // the scrolled area: as large as the page image's extent
    TQRPreviewImage* Image;
    std::int32_t CurrentPage = 1;
    TQRPrinter* Printer = nullptr;
    std::int32_t ZoomPercent = 100;
    TQRPreviewZoomMode Mode = zmFixed;
    // The page size the last layout with a printer used; none before it.
    std::optional<std::pair<long double, long double>> LaidOutExtent;
    double PushPastEdge = 0;
    int ZoomWheelDelta = 0;  // Ctrl+wheel angle not yet a whole step
    // Panning with the left button: where the drag began and the scroll positions then.
    std::optional<QPointF> PanStart;
    QPoint PanOrigin;
    // Selecting with the left button: where the drag began on the page image.
    std::optional<QPointF> SelectStart;
    bool SelectMode = false;
    std::shared_ptr<TPageTextCache> TextCache;
    // The selected words and the words of the page they belong to.
    std::shared_ptr<const TPageTextEntry> SelectedPage;
    std::vector<TWordRef> Selected;

    void ShowSelection();
    void RestoreCursor();
};

}  // namespace qrp
