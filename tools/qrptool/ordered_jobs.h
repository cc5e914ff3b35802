#pragma once
// Work done side by side on worker threads whose results are taken in the
// order the work was given: a command reads page after page on its own
// thread, hands each to a worker and writes what the workers made (files put
// in place, text, messages) in page order, so that the output is the same
// whatever the number of workers.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qrptool {

class OrderedJobs {
public:
    // What a job's result does on the thread that gave the job, in order.
    using Finish = std::function<void()>;
    // A job's work, on a worker; it returns its Finish. An exception it raises
    // is raised again in its place in the order.
    using Work = std::function<Finish()>;

    // workers: threads that work side by side; 1 does each job at once on the
    // giving thread.
    explicit OrderedJobs(int workers);
    // Drops the jobs not yet begun and waits for those under way; their
    // results are not taken.
    ~OrderedJobs();
    OrderedJobs(const OrderedJobs&) = delete;
    OrderedJobs& operator=(const OrderedJobs&) = delete;

    // Gives a job. While twice as many jobs as workers are unfinished, takes
    // the results that are ready (in order) and waits. Raises what a Finish raises.
    void Add(Work work);
    // Adds a step that only finishes, in its place in the order (a message, a
    // failure found while reading).
    void AddFinish(Finish finish);
    // Takes every result in order; raises what a Finish raises.
    void FinishAll();

private:
    struct Job {
        Work ToDo;
        Finish Done;
        std::exception_ptr Error;
        bool Ready = false;
    };

    void RunWorker();
    // Takes the results at the front that are ready; waits for the front one
    // when wait is set.
    void TakeReady(bool wait);

    const int Workers;
    std::vector<std::thread> Threads;
    std::mutex Lock;
    std::condition_variable WorkGiven;
    std::condition_variable WorkDone;
    std::deque<std::shared_ptr<Job>> Order;    // every unfinished job, in order
    std::deque<std::shared_ptr<Job>> Waiting;  // jobs no worker has begun
    bool Stopping = false;
};

// The number of workers of "-j N": N, at least 1; all processors when not given.
// UsageError for anything but a whole number from 1 up.
int WorkerCount(const std::string& value);

}  // namespace qrptool
