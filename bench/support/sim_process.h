// talvo-receiver-sim as a child process of a benchmark, so the benchmark's
// own CPU time and memory are the library's alone. Control commands go to
// its standard input; its replies are read back.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace korvel::bench {

// Raises the soft limit of open files to the hard limit: a fleet of a
// thousand receivers needs thousands of sockets.
void RaiseOpenFileLimit();

class SimulatorProcess {
public:
    // Starts the program with `arguments` (after the program name).
    explicit SimulatorProcess(const std::vector<std::string> &arguments);
    ~SimulatorProcess(); // Stop()
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Waits until the program says it is serving; false when it ended first.
    bool WaitReady();
    // Sends control command lines and waits for one reply each; returns how
    // many were answered "ok".
    int Commands(const std::vector<std::string> &lines);

    long StatusKb(const std::string &field) const; // from /proc/PID/status, -1 when missing
    double CpuSeconds() const;                      // user and system time so far
    int Stop();                                     // SIGTERM, then its exit status

private:
    // The next line of output ("" and false when the output ended).
    bool ReadLine(std::string &line);

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

} // namespace korvel::bench
