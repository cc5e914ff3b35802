#include "preview/tile_renderer.h"

#include <algorithm>
#include <exception>

#include <QMetaObject>

namespace qrp {

TTileRenderer::TTileRenderer(int workerCount, std::function<void()> onFinished) : OnFinished(std::move(onFinished))
{
    for (int i = 0; i < std::max(workerCount, 1); ++i)
        Workers.emplace_back([this] { Work(); });
}

TTileRenderer::~TTileRenderer()
{
    {
        const std::lock_guard guard(Lock);
        Stopping = true;
        Queue.clear();
        Queued.clear();
    }
    WorkQueued.notify_all();
    for (std::thread& worker : Workers)
        worker.join();
}

void TTileRenderer::Schedule(std::vector<TTileJob> jobs)
{
    {
        const std::lock_guard guard(Lock);
        Queue.clear();
        Queued.clear();
        for (TTileJob& job : jobs) {
            std::erase_if(job.Tiles, [this](const TTileKey& tile) { return Busy(tile); });
            if (job.Tiles.empty())
                continue;
            Queued.insert(job.Tiles.begin(), job.Tiles.end());
            Queue.push_back(std::move(job));
        }
    }
    WorkQueued.notify_all();
}

bool TTileRenderer::WaitFor(std::span<const TTileKey> tiles, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(Lock);
    return JobDone.wait_for(lock, timeout, [&] {
        return std::none_of(tiles.begin(), tiles.end(),
                            [this](const TTileKey& tile) { return Queued.contains(tile) || Running.contains(tile); });
    });
}

bool TTileRenderer::WaitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(Lock);
    return JobDone.wait_for(lock, timeout, [this] { return Queue.empty() && Running.empty(); });
}

std::vector<TFinishedTile> TTileRenderer::TakeFinished()
{
    const std::lock_guard guard(Lock);
    OwnerNotified = false;
    return std::exchange(Finished, {});
}

std::size_t TTileRenderer::TilesDrawn() const
{
    const std::lock_guard guard(Lock);
    return Drawn;
}

bool TTileRenderer::Busy(const TTileKey& tile) const
{
    return Running.contains(tile) ||
           std::any_of(Finished.begin(), Finished.end(), [&](const TFinishedTile& done) { return done.Key == tile; });
}

void TTileRenderer::Work()
{
    std::unique_lock lock(Lock);
    for (;;) {
        WorkQueued.wait(lock, [this] { return Stopping || !Queue.empty(); });
        if (Stopping)
            return;
        TTileJob job = std::move(Queue.front());
        Queue.pop_front();
        for (const TTileKey& tile : job.Tiles) {
            Queued.erase(Queued.find(tile));
            Running.insert(tile);
        }
        lock.unlock();
        std::vector<QImage> images;
        try {
            images = job.Draw(job.Tiles);
        } catch (const std::exception&) {
            // Out of memory for an image: the tiles stay undrawn and the page shows its placeholder there.
        }
        images.resize(job.Tiles.size());
        lock.lock();
        for (std::size_t i = 0; i < job.Tiles.size(); ++i) {
            Running.erase(Running.find(job.Tiles[i]));
            Finished.push_back({job.Tiles[i], std::move(images[i])});
        }
        Drawn += job.Tiles.size();
        NotifyOwner();
        JobDone.notify_all();
    }
}

void TTileRenderer::NotifyOwner()
{
    // One notice stands for every tile finished until the owner takes them.
    if (OwnerNotified)
        return;
    OwnerNotified = true;
    QMetaObject::invokeMethod(
        &Receiver,
        [this] {
            if (OnFinished)
                OnFinished();
        },
        Qt::QueuedConnection);
}

}  // namespace qrp
