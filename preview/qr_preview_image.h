#pragma once
// One page of a report document on screen: the page's recording played into
// the image's rectangle, with a black page frame and a drop shadow in its
// last pixels. The preview control owns it, sizes and places it for the zoom,
// and says which printer and page it shows.
//
// The page is drawn in tiles on worker threads, only the part in view and
// what is likely to come into view next (a margin, the top of the pages
// before and after); until a tile arrives its area shows the white page.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include <QWidget>

namespace qrp {

class TMetafile;
class TPageTiles;
class TQRPrinter;

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
    TQRPrinter* ReportPrinter() const { return Printer; }
    void SetReportPrinter(TQRPrinter* printer) { Printer = printer; }
    // The percentage the preview control last laid the image out at.
    std::int32_t Zoom() const { return LaidOutZoom; }
    void SetZoom(std::int32_t zoom) { LaidOutZoom = zoom; }

    // Waits up to timeout for the tiles of the part in view (all of the image
    // while it is hidden) and of what is drawn ahead, and schedules a repaint;
    // true when the part in view is drawn or there is no page.
    bool WaitUntilRendered(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Tiles drawn for this image so far; painting what is drawn already draws none.
    std::size_t TileRenderings() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The part of the image in view, in its own coordinates.
    QRect ViewedArea() const;
    // True when the size or pixel ratio changed since the last call.
    bool FollowLayout();
    std::shared_ptr<const TMetafile> Neighbour(std::int32_t pageNumber) const;

    TQRPrinter* Printer = nullptr;
    std::int32_t ShownPage = 1;
    std::shared_ptr<const TMetafile> Page;
    std::int32_t LaidOutZoom = 100;
    std::unique_ptr<TPageTiles> Tiles;
};

}  // namespace qrp
