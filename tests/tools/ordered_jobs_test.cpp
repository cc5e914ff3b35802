// Jobs done side by side whose results are taken in the order given.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <stdexcept>
#include <thread>

#include "tools/qrptool/ordered_jobs.h"

namespace qrptool {
namespace {

using namespace std::chrono_literals;

TEST(OrderedJobs, ResultsAreTakenInOrderOnTheGivingThreadWhateverFinishesFirst)
{
    for (const int workers : {1, 2, 5}) {
        OrderedJobs jobs(workers);
        std::vector<int> taken;
        std::atomic<int> running {0};
        std::atomic<int> mostRunning {0};
        std::atomic<int> given {0};
        int mostAhead = 0;
        const auto giver = std::this_thread::get_id();
        std::mt19937 random(static_cast<unsigned>(workers));
        for (int i = 0; i < 60; ++i) {
            const auto pause = std::chrono::microseconds(random() % 3000);
            if (i % 7 == 3) {
                jobs.AddFinish([&, i] { taken.push_back(i); });
                ++given;
                continue;
            }
            jobs.Add([&, i, pause]() -> OrderedJobs::Finish {
                mostRunning = std::max(mostRunning.load(), ++running);
                std::this_thread::sleep_for(pause);
                --running;
                return [&, i] {
                    EXPECT_EQ(std::this_thread::get_id(), giver);
                    taken.push_back(i);
                };
            });
            mostAhead = std::max(mostAhead, ++given - static_cast<int>(taken.size()));
        }
        jobs.FinishAll();
        ASSERT_EQ(taken.size(), 60u) << workers;
        for (int i = 0; i < 60; ++i)
            EXPECT_EQ(taken[static_cast<std::size_t>(i)], i) << workers << " workers";
        EXPECT_LE(mostRunning.load(), workers);
        if (workers > 1) {
            EXPECT_GE(mostRunning.load(), 2) << "jobs ran side by side";
        }
        // Work given ahead of the results taken stays within a few jobs a worker.
        EXPECT_LE(mostAhead, workers == 1 ? 0 : 2 * workers);
    }
}

TEST(OrderedJobs, AFailureIsRaisedInItsPlaceAndTheRestIsDropped)
{
    for (const int workers : {1, 3}) {
        std::vector<int> taken;
        std::atomic<int> worked {0};
        try {
            OrderedJobs jobs(workers);
            for (int i = 0; i < 40; ++i)
                jobs.Add([&, i]() -> OrderedJobs::Finish {
                    ++worked;
                    std::this_thread::sleep_for(i == 5 ? 20ms : 1ms);
                    if (i == 5)
                        throw std::runtime_error("job 5");
                    return [&, i] { taken.push_back(i); };
                });
            jobs.FinishAll();
            ADD_FAILURE() << "no failure raised";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "job 5");
        }
        EXPECT_EQ(taken, (std::vector<int> {0, 1, 2, 3, 4})) << workers << " workers";
        // Jobs not begun when the failure was taken are never done.
        EXPECT_LE(worked.load(), 6 + 2 * workers) << workers << " workers";
    }
}

}  // namespace
}  // namespace qrptool
