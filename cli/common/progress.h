// A progress bar on standard error, drawn only when standard error is a
// terminal: "reboot  [###############---------------]   50%  15/30 done".
// Redrawn in place at most ten times a second; its last state stays on a line
// of its own when it is finished, so the results start on a clean line.
#pragma once

#include <chrono>
#include <string>

namespace talvoctl {

class ProgressBar {
public:
    // `label` names the work; `shown` false makes every call a no-op.
    ProgressBar(std::string label, bool shown);
    ~ProgressBar(); // finishes
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // `fraction` 0 to 1 of the whole; `detail` follows the bar.
    void Update(double fraction, const std::string &detail);
    // Draws the final state on its own line and ends the bar.
    void Finish();

    // The bar's line for a fraction and a detail (what Update draws).
    static std::string Line(const std::string &label, double fraction, const std::string &detail);

private:
    std::string label_;
    bool shown_;
    bool drawn_ = false;
    double fraction_ = 0;
    std::string detail_;
    std::chrono::steady_clock::time_point last_draw_{};
};

// True when standard error is a terminal that can redraw a line.
bool ProgressWanted();

} // namespace talvoctl
