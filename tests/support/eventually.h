// Waits for a condition instead of sleeping a fixed time: tests stay robust
// on a loaded machine.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace korvel::testing {

// Polls until the condition holds or a generous deadline passes; the
// condition's last result.
inline bool Eventually(const std::function<bool()> &condition,
                       std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

} // namespace korvel::testing
