#include "core/batch_engine.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "core/log.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {

bool FitsBatchPath(const char *path) { return path != nullptr && strnlen(path, kBatchPathLimit) < kBatchPathLimit; }

// ---- the shared file ----

namespace {

constexpr size_t kReadPiece = 32768;

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

} // namespace

int ReadSharedFile(const char *path, SharedFile &file) {
    std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path, "rb"));
    if (!stream) {
        KLOG("[%s]:[%d] open file failed");
        return ZR_QM_ERR_FILE_OPEN;
    }
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > SIZE_MAX) {
        KLOG("[%s]:[%d] get file stat failed");
        return -1;
    }
    // One byte more than the content, so an empty file has a buffer too.
    std::shared_ptr<char[]> data(new (std::nothrow) char[static_cast<size_t>(size) + 1]);
    if (!data) {
        KLOG("[%s]:[%d] malloc memory failed");
        return ZR_QM_ERR_NO_MEMORY;
    }
    for (size_t done = 0; done < size;) {
        size_t got = std::fread(data.get() + done, 1, std::min<size_t>(kReadPiece, size - done), stream.get());
        if (got == 0) {
            KLOG("[%s]:[%d] read file failed.");
            return ZR_QM_ERR_FILE_READ;
        }
        done += got;
    }
    file.path = path;
    file.data = std::move(data);
    file.size = static_cast<size_t>(size);
    return 0;
}

// ---- workers ----

namespace {

// One slot text of the list, terminated even when the caller's slot is not.
std::string MacAt(MacList list, unsigned int index) {
    char mac[sizeof(ZR_QM_MacText)];
    CopyText(mac, list.macs[index]);
    return mac;
}

// The device for list position `index`, or null when it gets no worker
// (absent or skipped offline; both logged).
DeviceMgr::DevicePtr DeviceForWorker(const DeviceMgr &registry, MacList list, unsigned int index,
                                     const BatchMember &member, bool &absent) {
    DeviceMgr::DevicePtr device = FindForOperation(registry, MacAt(list, index).c_str(), member.operation);
    absent = device == nullptr;
    if (device == nullptr || RefusedOffline(*device, member.operation)) return nullptr;
    return device;
}

} // namespace

BatchResults RunWorkers(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request) {
    BatchResults results;
    std::shared_ptr<std::vector<std::optional<int>>> codes;
    std::shared_ptr<const DeviceRequest> shared_request;
    std::vector<platform::WorkerThread> workers;
    try {
        codes = std::make_shared<std::vector<std::optional<int>>>(list.count);
        shared_request = std::make_shared<const DeviceRequest>(std::move(request));
        workers.reserve(list.count);
    } catch (const std::bad_alloc &) {
        KLOG("[%s]:[%d] malloc memory failed");
        results.ended_early = ZR_QM_ERR_NO_MEMORY;
        return results;
    }
    for (unsigned int i = 0; i < list.count; ++i) {
        bool absent = false;
        DeviceMgr::DevicePtr device = DeviceForWorker(manager.Managed(), list, i, member, absent);
        if (absent && member.absent_ends_call) {
            manager.Workers().Adopt(std::move(workers));
            results.ended_early = ZR_QM_ERR_DEV_NOT_FOUND;
            return results;
        }
        if (device == nullptr) continue;
        auto work = [device, codes, shared_request, operation = member.operation, i] {
            (*codes)[i] = RunRequest(*device, operation, *shared_request);
        };
        try {
            workers.emplace_back(work);
        } catch (const std::system_error &) {
            work(); // no thread to be had: the device is served here
        }
    }
    for (platform::WorkerThread &worker : workers) worker.Join();
    results.codes = std::move(*codes);
    return results;
}

int StartBackgroundBatch(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request) {
    auto shared_request = std::make_shared<const DeviceRequest>(std::move(request));
    for (unsigned int i = 0; i < list.count; ++i) {
        bool absent = false;
        DeviceMgr::DevicePtr device = DeviceForWorker(manager.Managed(), list, i, member, absent);
        if (absent && member.absent_ends_call) return ZR_QM_ERR_DEV_NOT_FOUND;
        if (device == nullptr) continue;
        bool started = manager.Workers().Start(
            [device, shared_request, operation = member.operation] { RunRequest(*device, operation, *shared_request); });
        if (!started) KLOG("[%s]:[%d] create thread failed.");
    }
    return ZR_QM_ERR_BATCH_PARTIAL;
}

// ---- results ----

int Summary(const BatchResults &results) {
    size_t succeeded = 0, failed = 0;
    for (const std::optional<int> &code : results.codes) {
        if (code == 0) {
            ++succeeded;
        } else {
            ++failed; // a failure, or a device skipped without a worker
        }
    }
    if (failed == 0) return 0;
    return succeeded > 0 ? ZR_QM_ERR_BATCH_PARTIAL : ZR_QM_ERR_BATCH_FAILED;
}

int LowestProgress(const BatchResults &results) {
    int lowest = 100;
    bool reported = false;
    for (const std::optional<int> &code : results.codes) {
        if (!code || *code < 0) continue;
        reported = true;
        if (*code > 0 && *code < lowest) lowest = *code;
    }
    return reported ? lowest : -1;
}

int HighestProgress(const BatchResults &results) {
    int highest = 0;
    bool reported = false;
    for (size_t i = 0; i < results.codes.size(); ++i) {
        const std::optional<int> &code = results.codes[i];
        if (!code) continue;
        KLOG("[%s][%d]0000 iProgress[%d] = %d\n", static_cast<int>(i), highest);
        if (*code >= 0) reported = true;
        if (*code > highest) highest = *code;
        KLOG("[%s][%d]0000 iProgress[%d] = %d\n", static_cast<int>(i), highest);
    }
    return reported ? highest : -1;
}

// ---- whole calls ----

int RunBatch(Manager &manager, MacList list, const BatchMember &member, DeviceRequest request) {
    BatchResults results = RunWorkers(manager, list, member, std::move(request));
    return results.ended_early != 0 ? results.ended_early : Summary(results);
}

int RunFileBatch(Manager &manager, MacList list, const char *path, const BatchMember &member,
                 const FileRequestMaker &make) {
    SharedFile file;
    int read = ReadSharedFile(path, file);
    if (read != 0) return read;
    return RunBatch(manager, list, member, make(file));
}

} // namespace korvel
