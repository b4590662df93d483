#include "event_loop.h"

#include <event2/event.h>
#include <event2/thread.h>

#include <exception>
#include <future>
#include <stdexcept>

namespace talvo_sim {

struct EventLoop::Timer {
    EventLoop *loop;
    TimerId id;
    event *ev;
    Task task;
};

EventLoop::EventLoop() {
    static std::once_flag threads_ready;
    std::call_once(threads_ready, [] { evthread_use_pthreads(); });
    base_ = event_base_new();
    if (base_ == nullptr) throw std::runtime_error("cannot create the event loop");
    wake_ = event_new(base_, -1, EV_PERSIST, &EventLoop::OnWake, this);
}

EventLoop::~EventLoop() {
    Stop([] {});
    for (auto &[id, timer] : timers_) event_free(timer->ev);
    timers_.clear();
    event_free(wake_);
    event_base_free(base_);
}

void EventLoop::Start() {
    if (Running()) return;
    std::promise<void> started;
    thread_ = std::thread([this, &started] {
        loop_thread_id_ = std::this_thread::get_id();
        started.set_value();
        event_base_loop(base_, EVLOOP_NO_EXIT_ON_EMPTY);
    });
    started.get_future().wait();
}

void EventLoop::Stop(const Task &last) {
    if (!Running()) return;
    Run([this, &last] {
        last();
        event_base_loopbreak(base_);
    });
    thread_.join();
    loop_thread_id_ = std::thread::id();
    RunQueued(); // tasks posted while the loop ended
}

void EventLoop::Run(const Task &task) {
    if (!Running() || OnLoopThread()) {
        task();
        return;
    }
    std::promise<void> done;
    Post([&task, &done] {
        try {
            task();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    done.get_future().get();
}

void EventLoop::Post(Task task) {
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        queue_.push_back(std::move(task));
    }
    event_active(wake_, EV_READ, 0);
}

void EventLoop::OnWake(int, short, void *self) { static_cast<EventLoop *>(self)->RunQueued(); }

void EventLoop::RunQueued() {
    std::vector<Task> tasks;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        tasks.swap(queue_);
    }
    for (Task &task : tasks) task();
}

EventLoop::TimerId EventLoop::After(std::chrono::milliseconds delay, Task task) {
    TimerId id = next_timer_++;
    auto timer = std::make_unique<Timer>(Timer{this, id, nullptr, std::move(task)});
    timer->ev = evtimer_new(base_, &EventLoop::OnTimer, timer.get());
    timeval tv{static_cast<time_t>(delay.count() / 1000), static_cast<suseconds_t>(delay.count() % 1000 * 1000)};
    evtimer_add(timer->ev, &tv);
    timers_[id] = std::move(timer);
    return id;
}

void EventLoop::Cancel(TimerId id) {
    auto timer = timers_.find(id);
    if (timer == timers_.end()) return;
    event_free(timer->second->ev);
    timers_.erase(timer);
}

void EventLoop::OnTimer(int, short, void *arg) {
    auto *timer = static_cast<Timer *>(arg);
    EventLoop *loop = timer->loop;
    auto owned = loop->timers_.find(timer->id);
    std::unique_ptr<Timer> keep = std::move(owned->second);
    loop->timers_.erase(owned);
    event_free(keep->ev);
    keep->task();
}

} // namespace talvo_sim
