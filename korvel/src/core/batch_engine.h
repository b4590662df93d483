// The batch engine: one worker thread per device of a MAC list, each running
// the operation frame from the request on (RunRequest) for its device.
//
// Synchronous batches wait for all their workers (any number: there is no
// limit of handles per wait) and sum their results up. When an absent MAC
// ends a call early, the workers started before it run on: they own their
// device and request (shared ownership) and the manager's WorkerTracker
// takes them over, so ZR_QM_DeInit waits for them. The background system
// update starts tracked workers and returns at once.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/manager.h"
#include "core/operation_frame.h"
#include "korvel.h"

namespace korvel {

// A MAC list of `count` 32-byte slots.
struct MacList {
    const ZR_QM_MacText *macs;
    unsigned int count;
};

// How a batch treats the devices of its list.
struct BatchMember {
    Operation operation;   // online: offline devices are skipped; renew: as for single calls
    bool absent_ends_call; // an absent MAC ends the call with ZR_QM_ERR_DEV_NOT_FOUND; else it is skipped
};

// The results of a call's workers by list position; empty for a device that
// got no worker (skipped).
struct BatchResults {
    // Non-zero when the call ended before all its workers were started: the
    // lookup's code for an absent MAC, or ZR_QM_ERR_NO_MEMORY.
    int ended_early = 0;
    std::vector<std::optional<int>> codes;
};

// A path the batch contexts hold: fewer than 1024 characters.
constexpr size_t kBatchPathLimit = 1024;
bool FitsBatchPath(const char *path);

// A file read once for all workers of a batch upload, with its path (the
// upload names the file by it; workers that outlive their call keep a copy).
struct SharedFile {
    std::string path;
    std::shared_ptr<const char[]> data;
    size_t size = 0;
};

// Reads the whole file in pieces of at most 32768 bytes: 0,
// ZR_QM_ERR_FILE_OPEN, -1 (no size), ZR_QM_ERR_NO_MEMORY, ZR_QM_ERR_FILE_READ.
int ReadSharedFile(const char *path, SharedFile &file);

// Runs the workers of one call and waits for them (unless the call ends early).
BatchResults RunWorkers(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request);

// 0 when every ticked device succeeded (or the list is empty);
// ZR_QM_ERR_BATCH_PARTIAL when some succeeded and some failed;
// ZR_QM_ERR_BATCH_FAILED when none succeeded. A skipped device counts as a
// failure: the batch did nothing for it.
int Summary(const BatchResults &results);

// Lowest progress above 0 (100 when every worker reports 0); -1 when no
// worker reported a progress.
int LowestProgress(const BatchResults &results);
// Highest progress (0 at least); -1 when no worker reported a progress. Logs
// each worker's step before and after its comparison.
int HighestProgress(const BatchResults &results);

// A synchronous batch: the lookup's code when the call ended early, else the summary.
int RunBatch(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request);

// A batch upload of the file at `path`, read once and shared by the workers:
// `make` turns the file into the request every worker makes.
using FileRequestMaker = std::function<DeviceRequest(const SharedFile &)>;
int RunFileBatch(Manager &manager, MacList list, const char *path, const BatchMember &member,
                 const FileRequestMaker &make);

// Starts one tracked background worker per online device and returns
// ZR_QM_ERR_BATCH_PARTIAL at once (ZR_QM_ERR_DEV_NOT_FOUND when an absent MAC
// ends the call; the workers started before it run on).
int StartBackgroundBatch(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request);

} // namespace korvel
