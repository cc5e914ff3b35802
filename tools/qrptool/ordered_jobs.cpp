#include "tools/qrptool/ordered_jobs.h"

#include <sched.h>

#include <algorithm>

#include "tools/qrptool/command_line.h"

namespace qrptool {

namespace {
// The processors this process may run on.
int Processors()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// A job's result: its Finish, or one that raises its error again.
OrderedJobs::Finish Outcome(OrderedJobs::Finish done, std::exception_ptr error)
{
    if (error)
        return [error] { std::rethrow_exception(error); };
    return done ? std::move(done) : OrderedJobs::Finish([] {});
}
}  // namespace

int WorkerCount(const std::string& value)
{
    if (value.empty())
        return Processors();
    const int count = ParseNumber(value, "-j", 1, 0x7FFFFFFF);
    return std::min(count, 256);
}

OrderedJobs::OrderedJobs(int workers) : Workers(std::max(workers, 1))
{
    if (Workers > 1)
        for (int i = 0; i < Workers; ++i)
            Threads.emplace_back([this] { RunWorker(); });
}

OrderedJobs::~OrderedJobs()
{
    {
        std::lock_guard<std::mutex> guard(Lock);
        Stopping = true;
        Waiting.clear();
    }
    WorkGiven.notify_all();
    for (std::thread& thread : Threads)
        thread.join();
}

void OrderedJobs::RunWorker()
{
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        WorkGiven.wait(guard, [this] { return Stopping || !Waiting.empty(); });
        if (Waiting.empty())
            return;
        const std::shared_ptr<Job> job = Waiting.front();
        Waiting.pop_front();
        guard.unlock();
        Finish done;
        std::exception_ptr error;
        try {
            done = job->ToDo();
        } catch (...) {
            error = std::current_exception();
        }
        guard.lock();
        job->ToDo = nullptr;
        job->Done = std::move(done);
        job->Error = error;
        job->Ready = true;
        WorkDone.notify_all();
    }
}

void OrderedJobs::Add(Work work)
{
    if (Workers == 1) {
        Finish done;
        std::exception_ptr error;
        try {
            done = work();
        } catch (...) {
            error = std::current_exception();
        }
        Outcome(std::move(done), error)();
        return;
    }
    auto job = std::make_shared<Job>();
    job->ToDo = std::move(work);
    {
        std::lock_guard<std::mutex> guard(Lock);
        Order.push_back(job);
        Waiting.push_back(job);
    }
    WorkGiven.notify_one();
    // Pages read ahead are bounded: a few per worker.
    TakeReady(false);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(Lock);
            if (Order.size() < static_cast<std::size_t>(2 * Workers))
                return;
        }
        TakeReady(true);
    }
}

void OrderedJobs::AddFinish(Finish finish)
{
    if (Workers == 1) {
        finish();
        return;
    }
    auto job = std::make_shared<Job>();
    job->Done = std::move(finish);
    job->Ready = true;
    {
        std::lock_guard<std::mutex> guard(Lock);
        Order.push_back(job);
    }
    TakeReady(false);
}

void OrderedJobs::FinishAll()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(Lock);
            if (Order.empty())
                return;
        }
        TakeReady(true);
    }
}

void OrderedJobs::TakeReady(bool wait)
{
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> guard(Lock);
            if (Order.empty())
                return;
            if (wait)
                WorkDone.wait(guard, [this] { return Order.front()->Ready; });
            if (!Order.front()->Ready)
                return;
            job = Order.front();
            Order.pop_front();
        }
        wait = false;
        Outcome(std::move(job->Done), job->Error)();
    }
}

}  // namespace qrptool
