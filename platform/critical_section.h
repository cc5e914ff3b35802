#pragma once
// A re-entrant lock: the thread that holds it may enter it again.

#include <mutex>

namespace qrp {

class TCriticalSection {
public:
    void Enter() { Mutex.lock(); }
    void Leave() { Mutex.unlock(); }

    // BasicLockable, so std::lock_guard releases it on every exit.
    void lock() { Enter(); }
    void unlock() { Leave(); }

private:
    std::recursive_mutex Mutex;
};

}  // namespace qrp
