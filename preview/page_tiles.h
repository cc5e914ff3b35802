#pragma once
// The tiles of the page shown and of its two neighbours, drawn in the
// background and kept within a memory budget. The owner says which
// recordings it shows, how the page is laid out and which part of it is in
// view; the tiles of that part are drawn first, then a margin round it, the
// rest of a page small enough to keep whole, and each neighbour (its top when
// it is too large to keep whole), so that scrolling or turning a page finds
// its tiles ready.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include <QRect>
#include <QSize>

#include "preview/tile_cache.h"
#include "preview/tile_grid.h"
#include "preview/tile_renderer.h"

class QPainter;

namespace qrp {

class TMetafile;

class TPageTiles {
public:
    static constexpr std::size_t kDefaultBudgetBytes = 128U * 1024 * 1024;

    // onTilesArrived gets the logical area of the page shown whose tiles have
    // arrived; it runs on the owner's thread.
    TPageTiles(std::size_t budgetBytes, std::function<void(const QRect&)> onTilesArrived);

    // The page shown and its neighbours, each possibly none. A recording with
    // the same bytes as one held keeps that one's tiles; the tiles of the
    // recordings let go are dropped, and work not yet started is cancelled.
    void ShowPages(std::shared_ptr<const TMetafile> current, std::shared_ptr<const TMetafile> previous,
                   std::shared_ptr<const TMetafile> next);
    // The page image's logical size and pixel ratio; a change cancels work
    // not yet started and answers true.
    bool SetLayout(QSize size, qreal pixelRatio);

    // Plans the work for view, the page image's logical area in view,
    // replacing any earlier plan; tiles finished for an earlier plan and not
    // wanted now are dropped when they arrive.
    void Plan(const QRect& view);
    // Waits up to timeout for the planned view's tiles; true when all are held.
    bool WaitForView(std::chrono::milliseconds timeout);
    // Waits up to timeout for all planned work; true when the view's tiles are held.
    bool WaitForPlan(std::chrono::milliseconds timeout);
    // Keeps the finished tiles that the plan still wants.
    void TakeFinished();
    // The framed page over at least the logical area (the painter's clip
    // bounds the rest): its tiles where held, the white page with its frame
    // and shadow where not. Nothing without a page.
    void Paint(QPainter& painter, const QRect& area);

    // True when every tile of the planned view is held.
    bool ViewHeld() const;
    // The tiles of the planned view, row by row.
    const std::vector<TTileKey>& ViewTiles() const { return View; }
    const TTileCache& Cache() const { return Tiles; }
    TTileRenderer& Renderer() { return Workers; }

private:
    struct THeldPage {
        std::shared_ptr<const TMetafile> Recording;
        std::uint64_t Id = 0;
    };

    THeldPage Hold(std::shared_ptr<const TMetafile> recording, const std::vector<THeldPage>& held);
    TPageLayout LayoutFor(const THeldPage& page) const;
    std::vector<TTileKey> PlannedTiles(const QRect& deviceView) const;
    std::vector<TTileJob> JobsFor(const std::vector<TTileKey>& tiles) const;
    bool TakeFinishedView();
    void CancelPlan();
    const THeldPage* Held(std::uint64_t recording) const;

    std::function<void(const QRect&)> OnTilesArrived;
    std::size_t BudgetTiles;
    THeldPage Current, Previous, Next;
    std::uint64_t LastId = 0;
    QSize Size;
    qreal PixelRatio = 1;
    std::vector<TTileKey> View;
    std::set<TTileKey> Wanted;
    TTileCache Tiles;
    // Last: its workers stop before the rest goes.
    TTileRenderer Workers;
};

}  // namespace qrp
