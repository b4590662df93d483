// Collects what the library hands to its debugger output while in scope.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace korvel::testing {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::vector<std::string> Lines() const;
    // True when some captured text contains `fragment`.
    bool Contains(const std::string &fragment) const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

} // namespace korvel::testing
