#include "core/worker_tracker.h"

#include <algorithm>
#include <system_error>

namespace korvel {

WorkerTracker::~WorkerTracker() { WaitAll(); }

void WorkerTracker::ReapFinished() {
    std::erase_if(threads_, [](const platform::WorkerThread &thread) { return thread.Finished(); });
}

bool WorkerTracker::Start(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(mutex_);
    ReapFinished();
    try {
        threads_.emplace_back(std::move(work));
    } catch (const std::system_error &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

void WorkerTracker::Adopt(std::vector<platform::WorkerThread> threads) {
    std::lock_guard<std::mutex> lock(mutex_);
    ReapFinished();
    for (platform::WorkerThread &thread : threads) threads_.push_back(std::move(thread));
}

void WorkerTracker::WaitAll() {
    for (;;) {
        std::vector<platform::WorkerThread> taken;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            taken.swap(threads_);
        }
        if (taken.empty()) return;
        for (platform::WorkerThread &thread : taken) thread.Join();
    }
}

size_t WorkerTracker::Running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<size_t>(
        std::count_if(threads_.begin(), threads_.end(), [](const auto &thread) { return !thread.Finished(); }));
}

} // namespace korvel
