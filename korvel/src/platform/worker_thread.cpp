#include "platform/worker_thread.h"

#include <pthread.h>

#include <atomic>
#include <system_error>

namespace korvel::platform {

struct WorkerThread::State {
    std::function<void()> body;
    std::atomic<bool> finished{false};
    pthread_t thread{};
};

namespace {

void *RunBody(void *argument) noexcept {
    auto *state = static_cast<WorkerThread::State *>(argument);
    state->body();
    state->body = nullptr; // what the body captured is released on its own thread
    state->finished.store(true, std::memory_order_release);
    return nullptr;
}

} // namespace

WorkerThread::WorkerThread() noexcept = default;

WorkerThread::WorkerThread(std::function<void()> body) : state_(std::make_unique<State>()) {
    state_->body = std::move(body);
    pthread_attr_t attributes;
    int error = pthread_attr_init(&attributes);
    if (error == 0) {
        pthread_attr_setstacksize(&attributes, kWorkerStackBytes);
        error = pthread_create(&state_->thread, &attributes, RunBody, state_.get());
        pthread_attr_destroy(&attributes);
    }
    if (error != 0) {
        state_.reset();
        throw std::system_error(error, std::generic_category(), "worker thread");
    }
}

WorkerThread::WorkerThread(WorkerThread &&other) noexcept = default;

WorkerThread &WorkerThread::operator=(WorkerThread &&other) noexcept {
    if (this != &other) {
        Join();
        state_ = std::move(other.state_);
    }
    return *this;
}

WorkerThread::~WorkerThread() { Join(); }

bool WorkerThread::Joinable() const noexcept { return state_ != nullptr; }

bool WorkerThread::Finished() const noexcept {
    return state_ == nullptr || state_->finished.load(std::memory_order_acquire);
}

void WorkerThread::Join() noexcept {
    if (state_ == nullptr) return;
    pthread_join(state_->thread, nullptr);
    state_.reset();
}

} // namespace korvel::platform
