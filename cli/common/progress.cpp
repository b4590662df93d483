#include "common/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace talvoctl {
namespace {

constexpr int kBarCells = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

} // namespace

ProgressBar::ProgressBar(std::string label, bool shown) : label_(std::move(label)), shown_(shown) {}

ProgressBar::~ProgressBar() { Finish(); }

std::string ProgressBar::Line(const std::string &label, double fraction, const std::string &detail) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    int filled = static_cast<int>(std::floor(fraction * kBarCells));
    int percent = static_cast<int>(std::floor(fraction * 100));
    std::string line = label + "  [" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarCells - filled), '-') + "]  ";
    char number[8];
    std::snprintf(number, sizeof number, "%3d%%", percent);
    line += number;
    if (!detail.empty()) line += "  " + detail;
    return line;
}

void ProgressBar::Update(double fraction, const std::string &detail) {
    if (!shown_) return;
    fraction_ = fraction;
    detail_ = detail;
    auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - last_draw_ < kRedrawInterval) return;
    last_draw_ = now;
    drawn_ = true;
    // Carriage return, the line, then clear what a longer earlier line left.
    std::fprintf(stderr, "\r%s\x1b[K", Line(label_, fraction_, detail_).c_str());
    std::fflush(stderr);
}

void ProgressBar::Finish() {
    if (!shown_) return;
    shown_ = false;
    if (!drawn_) return;
    std::fprintf(stderr, "\r%s\x1b[K\n", Line(label_, fraction_, detail_).c_str());
    std::fflush(stderr);
}

bool ProgressWanted() {
    if (!isatty(STDERR_FILENO)) return false;
    const char *term = std::getenv("TERM");
    return term == nullptr || std::strcmp(term, "dumb") != 0;
}

} // namespace talvoctl
