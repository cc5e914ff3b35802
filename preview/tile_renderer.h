#pragma once
// Draws tiles on worker threads. Work comes as jobs, each drawing one or more
// tiles; a new schedule replaces every job not yet started (the player cannot
// be stopped inside a page, so a started job runs to its end). Finished tiles
// wait until the owner's thread takes them, and the owner is told on its own
// thread when some are waiting.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <span>
#include <thread>
#include <vector>

#include <QImage>
#include <QObject>

#include "preview/tile_grid.h"

namespace qrp {

struct TTileJob {
    std::vector<TTileKey> Tiles;
    // Draws the tiles it is given (those of Tiles still to draw when the job
    // is queued), one image for each in order. Runs on a worker thread.
    std::function<std::vector<QImage>(std::span<const TTileKey>)> Draw;
};

struct TFinishedTile {
    TTileKey Key;
    QImage Image;  // null when the tile could not be drawn
};

class TTileRenderer {
public:
    // onFinished runs on the thread that creates the renderer, from its event loop.
    TTileRenderer(int workerCount, std::function<void()> onFinished);
    // Waits for the jobs running; the queued ones are dropped.
    ~TTileRenderer();
    TTileRenderer(const TTileRenderer&) = delete;
    TTileRenderer& operator=(const TTileRenderer&) = delete;

    // Replaces the queue: the jobs run in this order, after the ones running
    // now. Tiles being drawn or waiting to be taken are left out of them.
    void Schedule(std::vector<TTileJob> jobs);
    // Waits until none of the tiles is queued or being drawn, or until the
    // timeout; true when none is.
    bool WaitFor(std::span<const TTileKey> tiles, std::chrono::milliseconds timeout);
    // Waits until no job is queued or running, or until the timeout; true when none is.
    bool WaitIdle(std::chrono::milliseconds timeout);
    // The tiles finished since the last call.
    std::vector<TFinishedTile> TakeFinished();
    // Tiles drawn so far, by jobs run to their end.
    std::size_t TilesDrawn() const;

private:
    void Work();
    bool Busy(const TTileKey& tile) const;  // the caller holds Lock
    void NotifyOwner();                     // the caller holds Lock

    std::function<void()> OnFinished;
    mutable std::mutex Lock;
    std::condition_variable WorkQueued;
    std::condition_variable JobDone;
    std::deque<TTileJob> Queue;
    std::multiset<TTileKey> Queued;
    std::multiset<TTileKey> Running;
    std::vector<TFinishedTile> Finished;
    std::size_t Drawn = 0;
    bool OwnerNotified = false;
    bool Stopping = false;
    // Receives the notices to the owner, on the owner's thread; posted notices
    // die with it.
    QObject Receiver;
    std::vector<std::thread> Workers;
};

}  // namespace qrp
