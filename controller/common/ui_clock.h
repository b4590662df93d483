// Time as the windows see it: the wall clock in whole seconds and the blocking
// waits of the UI thread (the pauses that let discovery answers arrive). Tests
// install their own clock so that no test waits real time.
#pragma once

#include <cstdint>

namespace talvo {

class UiClock {
public:
    virtual ~UiClock() = default;
    // Calendar time in whole seconds.
    virtual std::int64_t NowSeconds();
    // Blocks the calling thread for `milliseconds`.
    virtual void Wait(int milliseconds);
};

// The clock in use; SetClock(nullptr) restores the real one. The caller keeps
// ownership of an installed clock.
UiClock &Clock();
void SetClock(UiClock *clock);

} // namespace talvo
