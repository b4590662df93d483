// The fleet's one libevent loop on a thread of its own, with a task queue
// other threads post into and timers owned by the loop.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct event_base;
struct event;

namespace talvo_sim {

class EventLoop {
public:
    using Task = std::function<void()>;
    using TimerId = std::uint64_t;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop &) = delete;
    EventLoop &operator=(const EventLoop &) = delete;

    event_base *Base() const { return base_; }

    void Start();
    // Runs `last` on the loop thread, then ends the loop and joins it.
    void Stop(const Task &last);
    bool Running() const { return thread_.joinable(); }
    bool OnLoopThread() const { return std::this_thread::get_id() == loop_thread_id_; }

    // Runs the task on the loop thread and waits for it; exceptions reach
    // the caller. Runs it at once when called on the loop thread or while
    // the loop is not running.
    void Run(const Task &task);
    // Queues the task for the loop thread.
    void Post(Task task);

    // Timers: only on the loop thread. A timer runs once; cancelling an
    // unknown or finished id does nothing.
    TimerId After(std::chrono::milliseconds delay, Task task);
    void Cancel(TimerId id);

private:
    struct Timer;
    static void OnWake(int, short, void *self);
    static void OnTimer(int, short, void *timer);
    void RunQueued();

    event_base *base_ = nullptr;
    event *wake_ = nullptr;
    std::thread thread_;
    std::atomic<std::thread::id> loop_thread_id_{};
    std::mutex queue_mutex_;
    std::vector<Task> queue_;
    std::map<TimerId, std::unique_ptr<Timer>> timers_;
    TimerId next_timer_ = 1;
};

} // namespace talvo_sim
