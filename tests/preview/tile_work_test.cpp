// The tile cache's budget and order of letting go, and the workers' queue:
// a new schedule cancels the jobs not started, a started job finishes, the
// owner hears of finished tiles on its own thread, and going away waits for
// the job running.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "preview/tile_cache.h"
#include "preview/tile_renderer.h"

namespace qrp {
namespace {

using namespace std::chrono_literals;

TTileKey Key(int column, int row = 0) { return TTileKey {1, 100, 100, 1, column, row}; }

QImage Tile(int side = 64) { return QImage(side, side, QImage::Format_ARGB32_Premultiplied); }

TEST(TileCache, LetsGoOfTheTilesUsedLongestAgoToStayWithinItsBudget)
{
    const std::size_t tileCost = static_cast<std::size_t>(Tile().sizeInBytes()) + 256;
    TTileCache cache(3 * tileCost);
    cache.Insert(Key(0), Tile());
    cache.Insert(Key(1), Tile());
    cache.Insert(Key(2), Tile());
    ASSERT_NE(cache.Find(Key(0)), nullptr) << "now used last";
    cache.Insert(Key(3), Tile());
    EXPECT_FALSE(cache.Holds(Key(1))) << "the one used longest ago";
    EXPECT_EQ(cache.Keys(), (std::vector {Key(3), Key(0), Key(2)}));
    EXPECT_EQ(cache.Bytes(), 3 * tileCost);

    cache.Insert(Key(3), Tile(32));
    EXPECT_EQ(cache.Bytes(), 2 * tileCost + static_cast<std::size_t>(Tile(32).sizeInBytes()) + 256) << "a replaced tile is not counted twice";
    cache.Insert(Key(4), Tile(128));
    EXPECT_FALSE(cache.Holds(Key(4))) << "larger than the whole budget";
    EXPECT_EQ(cache.Keys().size(), 3U);
    EXPECT_LE(cache.PeakBytes(), cache.BudgetBytes()) << "room is made before a tile is added";
    cache.RemoveIf([](const TTileKey& key) { return key.Column != 0; });
    EXPECT_EQ(cache.Keys(), std::vector {Key(0)});
    EXPECT_EQ(cache.Bytes(), tileCost);
}

// Jobs that wait at a gate until the test opens it.
class Gate {
public:
    void Open()
    {
        {
            const std::lock_guard guard(Lock);
            Opened = true;
        }
        Changed.notify_all();
    }
    TTileJob Job(std::vector<TTileKey> tiles, std::vector<int>* ran = nullptr)
    {
        return {std::move(tiles), [this, ran](std::span<const TTileKey> drawn) {
                    std::unique_lock lock(Lock);
                    if (ran)
                        ran->push_back(drawn.front().Column);
                    ++Started;
                    Changed.notify_all();
                    Changed.wait(lock, [this] { return Opened; });
                    return std::vector<QImage>(drawn.size(), Tile(8));
                }};
    }
    void WaitUntilStarted(int jobs)
    {
        std::unique_lock lock(Lock);
        ASSERT_TRUE(Changed.wait_for(lock, 30s, [&] { return Started >= jobs; }));
    }

private:
    std::mutex Lock;
    std::condition_variable Changed;
    bool Opened = false;
    int Started = 0;
};

TEST(TileRenderer, ANewScheduleCancelsTheJobsNotStartedAndTheStartedOneFinishes)
{
    Gate gate;
    std::vector<int> ran;
    TTileRenderer renderer(1, {});
    std::vector<TTileJob> first;
    for (int column : {0, 1, 2})
        first.push_back(gate.Job({Key(column)}, &ran));
    renderer.Schedule(std::move(first));
    gate.WaitUntilStarted(1);
    const std::vector<TTileKey> started {Key(0)};
    EXPECT_FALSE(renderer.WaitFor(started, 0ms)) << "the running job holds its tile";

    // Tile 0 is running, so a job for it again is left out; tiles 1 and 2 are dropped.
    std::vector<TTileJob> second;
    second.push_back(gate.Job({Key(0), Key(5)}, &ran));
    renderer.Schedule(std::move(second));
    gate.Open();
    ASSERT_TRUE(renderer.WaitIdle(30s));
    EXPECT_EQ(ran, (std::vector {0, 5})) << "the second job drew tile 5 only";
    std::vector<TTileKey> finished;
    for (const TFinishedTile& tile : renderer.TakeFinished())
        finished.push_back(tile.Key);
    EXPECT_EQ(finished, (std::vector {Key(0), Key(5)}));
    EXPECT_EQ(renderer.TilesDrawn(), 2U);
    EXPECT_TRUE(renderer.TakeFinished().empty());
}

TEST(TileRenderer, TheOwnerHearsOfFinishedTilesOnItsOwnThread)
{
    const std::thread::id owner = std::this_thread::get_id();
    QEventLoop loop;
    std::vector<std::thread::id> heardOn;
    TTileRenderer renderer(2, [&] {
        heardOn.push_back(std::this_thread::get_id());
        loop.quit();
    });
    Gate gate;
    gate.Open();
    renderer.Schedule({gate.Job({Key(0)}), gate.Job({Key(1)})});
    QTimer::singleShot(30s, &loop, [&] { loop.exit(1); });
    ASSERT_EQ(loop.exec(), 0) << "no notice within the timeout";
    EXPECT_EQ(heardOn, std::vector {owner});
    ASSERT_TRUE(renderer.WaitIdle(30s));
    EXPECT_EQ(renderer.TakeFinished().size(), 2U);
}

TEST(TileRenderer, GoingAwayWaitsForTheRunningJob)
{
    Gate gate;
    std::vector<int> ran;
    std::thread opener;
    {
        TTileRenderer renderer(1, {});
        renderer.Schedule({gate.Job({Key(0)}, &ran), gate.Job({Key(1)}, &ran)});
        gate.WaitUntilStarted(1);
        opener = std::thread([&] { gate.Open(); });
    }
    opener.join();
    ASSERT_FALSE(ran.empty());
    EXPECT_EQ(ran.front(), 0);
}

TEST(TileRenderer, AJobThatThrowsLeavesItsTilesUndrawn)
{
    TTileRenderer renderer(1, {});
    renderer.Schedule({TTileJob {{Key(0)}, [](std::span<const TTileKey>) -> std::vector<QImage> {
                                     throw std::bad_alloc();
                                 }}});
    ASSERT_TRUE(renderer.WaitIdle(30s));
    const std::vector<TFinishedTile> finished = renderer.TakeFinished();
    ASSERT_EQ(finished.size(), 1U);
    EXPECT_TRUE(finished.front().Image.isNull());
}

}  // namespace
}  // namespace qrp
