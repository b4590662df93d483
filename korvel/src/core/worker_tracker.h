// The library's record of threads that outlive the call that started them:
// the workers of the background system update and the workers a batch leaves
// running when an absent MAC ends it early. Each owns what it uses (its
// device by shared_ptr, its context); ZR_QM_DeInit waits for all of them
// before it frees anything.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/worker_thread.h"

namespace korvel {

class WorkerTracker {
public:
    WorkerTracker() = default;
    ~WorkerTracker(); // WaitAll()
    WorkerTracker(const WorkerTracker &) = delete;
    WorkerTracker &operator=(const WorkerTracker &) = delete;

    // Runs `work` on a tracked worker thread; false when no thread could be
    // started (nothing runs then).
    bool Start(std::function<void()> work);
    // Takes over worker threads whose call has ended before they did.
    void Adopt(std::vector<platform::WorkerThread> threads);
    // Waits for every tracked thread, also those started while it waits.
    void WaitAll();
    // Threads tracked and not yet seen to end.
    size_t Running() const;

private:
    // Joins the threads that have ended; called with the mutex held.
    void ReapFinished();

    mutable std::mutex mutex_;
    std::vector<platform::WorkerThread> threads_;
};

} // namespace korvel
