// A joinable thread with a small stack, for the many short-lived per-device
// threads (state refreshes, batch workers): a fleet of a thousand receivers
// starts a thousand of them at once, and the platform's default stack
// reservation (8 MiB here) would be wasted on each.
#pragma once

#include <functional>
#include <memory>

namespace korvel::platform {

// Stack reserved for each worker thread. Enough for a transfer, the JSON
// conversion of the largest answer the transport keeps and the log routine;
// sanitizer builds get more for their larger frames.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr size_t kWorkerStackBytes = 4u << 20;
#else
inline constexpr size_t kWorkerStackBytes = 512u << 10;
#endif

class WorkerThread {
public:
    WorkerThread() noexcept;
    // Runs `body` on a new thread. Throws std::system_error when the thread
    // cannot be started (too many threads, no memory).
    explicit WorkerThread(std::function<void()> body);
    WorkerThread(WorkerThread &&other) noexcept;
    WorkerThread &operator=(WorkerThread &&other) noexcept; // joins the thread it held
    ~WorkerThread();                                         // joins
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // True until Join() has waited for the thread.
    bool Joinable() const noexcept;
    // True once the body has returned (the thread may still be ending).
    bool Finished() const noexcept;
    // Waits for the thread; nothing when there is none.
    void Join() noexcept;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace korvel::platform
