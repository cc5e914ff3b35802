#pragma once
// One page of a report document on screen: the page's recording played into
// the image's rectangle, with a black page frame and a drop shadow in its
// last pixels. The preview control owns it, sizes and places it for the zoom,
// and says which printer and page it shows.
//
// The page is drawn in tiles on worker threads, only the part in view and
// what is likely to come into view next (a margin, the top of the pages
// before and after); until a tile arrives its area shows the white page.
//
// Over the tiles it lays translucent marks: the hits of a search and the
// selected words, given as fractions of the page so that they sit on their
// text at every zoom.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QRectF>
#include <QWidget>

class QPainter;

namespace qrp {

class TMetafile;
class TPageTiles;
class TQRPrinter;

enum class TTextMarkKind : std::uint8_t { Hit, CurrentHit, Selection };

struct TTextMark {
    QRectF Box;  // fractions of the page's width and height
    TTextMarkKind Kind = TTextMarkKind::Hit;
};

// The marks of a page, asked for the page shown whenever it is painted.
using TTextMarkSource = std::function<std::vector<TTextMark>(std::int32_t pageNumber)>;

class TQRPreviewImage : public QWidget {
public:
    explicit TQRPreviewImage(QWidget* parent);
    ~TQRPreviewImage() override;

    // Fetches page n from the printer (none without a printer or when the
    // printer cannot supply it yet) and repaints at once, showing the tiles
    // that arrive within a few tens of milliseconds.
    void LoadPage(std::int32_t pageNumber);

    std::int32_t PageNumber() const { return ShownPage; }
    bool PageLoaded() const { return Page != nullptr; }
    // The recording shown, or none.
    const TMetafile* Recording() const { return Page.get(); }
    std::shared_ptr<const TMetafile> SharedRecording() const { return Page; }
    TQRPrinter* ReportPrinter() const { return Printer; }
    void SetReportPrinter(TQRPrinter* printer);
    // Lets go of the recordings kept of the pages around the one shown: the
    // document they came from is gone (another file, the same one read again).
    void ForgetPages();
    // The percentage the preview control last laid the image out at.
    std::int32_t Zoom() const { return LaidOutZoom; }
    void SetZoom(std::int32_t zoom) { LaidOutZoom = zoom; }

    // Waits up to timeout for the tiles of the part in view (all of the image
    // while it is hidden) and of what is drawn ahead, and schedules a repaint;
    // true when the part in view is drawn or there is no page.
    bool WaitUntilRendered(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // True when the last paint found every tile of the part in view drawn:
    // the page on screen is complete, not partly the white placeholder.
    bool ViewPainted() const { return PaintedWholeView; }
    // Tiles drawn for this image so far; painting what is drawn already draws none.
    std::size_t TileRenderings() const;

    // Where the search's marks come from; none without a source. The owner
    // calls update() when they change.
    void SetMarkSource(TTextMarkSource source);
    // The boxes of the selected words on the page shown (fractions of the page); repaints.
    void SetSelectionMarks(std::vector<QRectF> boxes);
    const std::vector<QRectF>& SelectionMarks() const { return Selection; }
    // A rectangle in fractions of the page in the image's own coordinates.
    QRectF ImageArea(const QRectF& fractions) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The part of the image in view, in its own coordinates.
    QRect ViewedArea() const;
    // True when the size or pixel ratio changed since the last call.
    bool FollowLayout();
    // Page n's recording, from those kept when it is one of them.
    std::shared_ptr<const TMetafile> Fetch(std::int32_t pageNumber);
    std::shared_ptr<const TMetafile> Neighbour(std::int32_t pageNumber);
    void PaintMarks(QPainter& painter, const QRect& area) const;

    TQRPrinter* Printer = nullptr;
    std::int32_t ShownPage = 1;
    std::shared_ptr<const TMetafile> Page;
    // The recordings of the page shown and its neighbours, so that turning a
    // page reads only the page new to the three.
    std::map<std::int32_t, std::shared_ptr<const TMetafile>> Recent;
    std::int32_t LaidOutZoom = 100;
    std::unique_ptr<TPageTiles> Tiles;
    TTextMarkSource Marks;
    std::vector<QRectF> Selection;
    bool PaintedWholeView = false;
};

}  // namespace qrp
