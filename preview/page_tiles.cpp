#include "preview/page_tiles.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include <QPainter>
#include <QThread>

#include "platform/emf/metafile.h"
#include "preview/framed_page.h"

namespace qrp {

namespace {

// Jobs draw blocks of up to this many tiles across and down in one play of
// the page, so the cost of walking the recording is shared by many tiles.
constexpr int kBlockTiles = 4;

int WorkerCount() { return std::clamp(QThread::idealThreadCount(), 1, 4); }

// The tiles' area drawn in one play of the page, cut into one image per tile.
std::vector<QImage> DrawTiles(const TMetafile& page, std::span<const TTileKey> tiles)
{
    QRect area;
    for (const TTileKey& tile : tiles)
        area |= TileArea(tile);
    const TPageLayout layout = LayoutOf(tiles.front());
    const QImage drawn = RenderFramedPageArea(page, layout.Size, layout.PixelRatio, area);
    std::vector<QImage> images;
    for (const TTileKey& tile : tiles) {
        QImage image = drawn.isNull() ? QImage() : drawn.copy(TileArea(tile).translated(-area.topLeft()));
        images.push_back(std::move(image));
    }
    return images;
}

QRect LogicalRect(const QRect& device, qreal pixelRatio)
{
    const int left = static_cast<int>(std::floor(device.left() / pixelRatio));
    const int top = static_cast<int>(std::floor(device.top() / pixelRatio));
    const int right = static_cast<int>(std::ceil((device.right() + 1) / pixelRatio));
    const int bottom = static_cast<int>(std::ceil((device.bottom() + 1) / pixelRatio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

bool SameFrame(const TMetafile& a, const TMetafile& b) { return a.Width() == b.Width() && a.Height() == b.Height(); }

// Appends the tiles not in order yet, up to limit tiles in all.
void AppendNew(std::vector<TTileKey>& order, std::set<TTileKey>& seen, const std::vector<TTileKey>& tiles,
               std::size_t limit)
{
    for (const TTileKey& tile : tiles) {
        if (order.size() >= limit)
            return;
        if (seen.insert(tile).second)
            order.push_back(tile);
    }
}

}  // namespace

TPageTiles::TPageTiles(std::size_t budgetBytes, std::function<void(const QRect&)> onTilesArrived)
    : OnTilesArrived(std::move(onTilesArrived)), BudgetTiles(budgetBytes / kTileBytes), Tiles(budgetBytes),
      Workers(WorkerCount(), [this] { TakeFinished(); })
{
}

void TPageTiles::ShowPages(std::shared_ptr<const TMetafile> current, std::shared_ptr<const TMetafile> previous,
                           std::shared_ptr<const TMetafile> next)
{
    const std::vector<THeldPage> held {Current, Previous, Next};
    Current = Hold(std::move(current), held);
    Previous = Hold(std::move(previous), held);
    Next = Hold(std::move(next), held);
    CancelPlan();
    Tiles.RemoveIf([this](const TTileKey& tile) { return !Held(tile.Recording); });
}

TPageTiles::THeldPage TPageTiles::Hold(std::shared_ptr<const TMetafile> recording, const std::vector<THeldPage>& held)
{
    if (!recording)
        return {};
    for (const THeldPage& page : held)
        if (page.Recording && (page.Recording == recording || page.Recording->Bytes() == recording->Bytes()))
            return page;
    return {std::move(recording), ++LastId};
}

const TPageTiles::THeldPage* TPageTiles::Held(std::uint64_t recording) const
{
    for (const THeldPage* page : {&Current, &Previous, &Next})
        if (page->Recording && page->Id == recording)
            return page;
    return nullptr;
}

bool TPageTiles::SetLayout(QSize size, qreal pixelRatio)
{
    if (size == Size && pixelRatio == PixelRatio)
        return false;
    Size = size;
    PixelRatio = pixelRatio;
    CancelPlan();
    return true;
}

void TPageTiles::CancelPlan()
{
    View.clear();
    Wanted.clear();
    Workers.Schedule({});
}

TPageLayout TPageTiles::LayoutFor(const THeldPage& page) const { return TPageLayout {page.Id, Size, PixelRatio}; }

void TPageTiles::Plan(const QRect& view)
{
    TakeFinished();
    if (!Current.Recording || Size.isEmpty()) {
        CancelPlan();
        return;
    }
    const TPageLayout page = LayoutFor(Current);
    const QRect deviceView = DeviceRect(view, PixelRatio).intersected(DeviceBounds(page));
    View = TilesCovering(page, deviceView);
    View.resize(std::min(View.size(), BudgetTiles / 2));
    const std::vector<TTileKey> planned = PlannedTiles(deviceView);
    Wanted = std::set<TTileKey>(planned.begin(), planned.end());
    // Held tiles of the plan become the ones used last, the view's most
    // recently, so that whatever the budget must let go of lies outside it.
    std::vector<TTileKey> missing;
    for (auto tile = planned.rbegin(); tile != planned.rend(); ++tile)
        if (!Tiles.Find(*tile))
            missing.push_back(*tile);
    std::reverse(missing.begin(), missing.end());
    Workers.Schedule(JobsFor(missing));
}

// The view, a margin of one tile round it, the whole page when it takes at
// most a quarter of the budget, and each neighbour laid out alike, whole when
// it takes at most an eighth of the budget, else the tiles in view at its
// top: at most three quarters of the budget in all.
std::vector<TTileKey> TPageTiles::PlannedTiles(const QRect& deviceView) const
{
    const TPageLayout page = LayoutFor(Current);
    std::vector<TTileKey> order;
    std::set<TTileKey> seen;
    AppendNew(order, seen, View, View.size());
    const QRect margin = deviceView.adjusted(-kTilePixels, -kTilePixels, kTilePixels, kTilePixels);
    AppendNew(order, seen, TilesCovering(page, margin), BudgetTiles / 2);
    const std::vector<TTileKey> whole = TilesCovering(page, DeviceBounds(page));
    if (whole.size() <= BudgetTiles / 4)
        AppendNew(order, seen, whole, BudgetTiles / 2);
    for (const THeldPage* neighbour : {&Next, &Previous}) {
        if (!neighbour->Recording || !SameFrame(*neighbour->Recording, *Current.Recording))
            continue;
        const TPageLayout layout = LayoutFor(*neighbour);
        std::vector<TTileKey> ahead = TilesCovering(layout, DeviceBounds(layout));
        if (ahead.size() > BudgetTiles / 8)
            ahead = TilesCovering(layout, QRect(QPoint(0, 0), deviceView.size()));
        AppendNew(order, seen, ahead, order.size() + BudgetTiles / 8);
    }
    return order;
}

// One job for the tiles of each block, in the order the blocks first appear.
std::vector<TTileJob> TPageTiles::JobsFor(const std::vector<TTileKey>& tiles) const
{
    std::vector<TTileJob> jobs;
    std::map<TTileKey, std::size_t> jobOfBlock;
    for (const TTileKey& tile : tiles) {
        TTileKey block = tile;
        block.Column /= kBlockTiles;
        block.Row /= kBlockTiles;
        const auto [found, added] = jobOfBlock.emplace(block, jobs.size());
        if (added) {
            std::shared_ptr<const TMetafile> recording = Held(tile.Recording)->Recording;
            jobs.push_back({{}, [recording](std::span<const TTileKey> drawn) { return DrawTiles(*recording, drawn); }});
        }
        jobs[found->second].Tiles.push_back(tile);
    }
    return jobs;
}

bool TPageTiles::WaitForView(std::chrono::milliseconds timeout)
{
    Workers.WaitFor(View, timeout);
    return TakeFinishedView();
}

bool TPageTiles::WaitForPlan(std::chrono::milliseconds timeout)
{
    Workers.WaitIdle(timeout);
    return TakeFinishedView();
}

bool TPageTiles::TakeFinishedView()
{
    TakeFinished();
    return ViewHeld();
}

bool TPageTiles::ViewHeld() const
{
    return !View.empty() && std::all_of(View.begin(), View.end(), [this](const TTileKey& tile) { return Tiles.Holds(tile); });
}

void TPageTiles::TakeFinished()
{
    const TPageLayout shown = LayoutFor(Current);
    QRect arrived;
    for (TFinishedTile& finished : Workers.TakeFinished()) {
        // A tile planned for another page, zoom or view than the present plan's is stale.
        if (!Wanted.contains(finished.Key))
            continue;
        if (LayoutOf(finished.Key) == shown)
            arrived |= TileArea(finished.Key);
        Tiles.Insert(finished.Key, std::move(finished.Image));
    }
    if (!arrived.isEmpty() && OnTilesArrived)
        OnTilesArrived(LogicalRect(arrived, PixelRatio));
}

void TPageTiles::Paint(QPainter& painter, const QRect& area)
{
    if (!Current.Recording)
        return;
    // Beneath the tiles, which cover it exactly where they are held.
    DrawFramedPage(painter, nullptr, Size);
    for (const TTileKey& tile : TilesCovering(LayoutFor(Current), DeviceRect(area, PixelRatio))) {
        const QImage* image = Tiles.Find(tile);
        if (image && !image->isNull())
            painter.drawImage(QPointF(TileArea(tile).topLeft()) / PixelRatio, *image);
    }
}

}  // namespace qrp
