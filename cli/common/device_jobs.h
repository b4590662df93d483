// Work on many devices at once: one thread per device, as the library's batch
// engine does, with a progress bar on the terminal and one result per device,
// so an operator sees which receivers failed and why.
#pragma once

#include <korvel.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "common/command.h"
#include "common/targets.h"

namespace talvoctl {

// What a job may tell about how far it is (0 to 100), for jobs that follow an
// install; others are counted when they end.
struct JobProgress {
    std::atomic<int> percent{0};
};

// Runs on its device's thread; returns the library's result (0 success).
using DeviceJob = std::function<int(const DeviceInfo &device, JobProgress &progress)>;

// `job` after the library has logged in to the device with its stored
// credentials, as the desktop program does before it works on a receiver: a
// run of talvoctl starts the library afresh, so no device holds a session
// yet. A refused login is the device's result.
DeviceJob AfterDeviceLogin(DeviceJob job);

struct DeviceResult {
    DeviceInfo device;
    int code = 0;
};

// Runs `job` for every device at once and waits for all of them; `label`
// names the progress bar.
std::vector<DeviceResult> RunJobs(const std::vector<DeviceInfo> &devices, const std::string &label,
                                  const DeviceJob &job);

// Shows one row per device (`done` is what success reads as, e.g.
// "rebooted") and the outcome: returns when every device succeeded, throws
// otherwise — the device's own failure when only one was concerned,
// ZR_QM_ERR_BATCH_PARTIAL or ZR_QM_ERR_BATCH_FAILED for many.
void ReportResults(const Context &context, const std::string &operation, const Targets &targets,
                   const std::vector<DeviceResult> &results, const std::string &done);

// Resolves the targets, runs the job on the online ones and reports.
void RunOnTargets(const Context &context, const std::vector<std::string> &macs, const std::string &operation,
                  const std::string &done, const DeviceJob &job);

} // namespace talvoctl
