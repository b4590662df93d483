#include "common/ui_clock.h"

#include <chrono>
#include <thread>

namespace talvo {
namespace {

UiClock *&Installed() {
    static UiClock *clock = nullptr;
    return clock;
}

} // namespace

std::int64_t UiClock::NowSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void UiClock::Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

UiClock &Clock() {
    static UiClock real;
    return Installed() ? *Installed() : real;
}

void SetClock(UiClock *clock) { Installed() = clock; }

} // namespace talvo
