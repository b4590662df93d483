#include "log_capture.h"

#include "platform/debug_output.h"

namespace korvel::testing {

LogCapture::LogCapture() {
    platform::SetDebugOutputHook([this](std::string_view text) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.emplace_back(text);
    });
}

LogCapture::~LogCapture() { platform::SetDebugOutputHook({}); }

std::vector<std::string> LogCapture::Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

bool LogCapture::Contains(const std::string &fragment) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &line : lines_)
        if (line.find(fragment) != std::string::npos) return true;
    return false;
}

void LogCapture::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
}

} // namespace korvel::testing
