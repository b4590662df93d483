// Exports of firmware upgrades, system updates, screen images and their
// progress reads, one device or a batch.
#include <cstring>
#include <memory>
#include <string>

#include "core/api_frame.h"
#include "core/batch_engine.h"
#include "core/digest.h"
#include "core/export_args.h"
#include "core/operation_frame.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::BatchMember;
using korvel::Device;
using korvel::DeviceRequest;
using korvel::Manager;
using korvel::SharedFile;

namespace {

int UpgradeProgress(Device &device) { return device.GetUpgradeProgress(); }

DeviceRequest UpdateProgress(int kind) {
    return [kind](Device &device) { return device.GetUpdateProgress(kind); };
}

struct Digest {
    char text[korvel::kDigestSize];
};

// The firmware from the shared buffer, with its digest computed once.
DeviceRequest UpgradeFrom(const SharedFile &file) {
    auto digest = std::make_shared<Digest>();
    korvel::DataDigest(file.data.get(), file.size, digest->text);
    return [file, digest](Device &device) {
        return device.Upgrade(file.data.get(), file.size, file.path.c_str(), digest->text);
    };
}

// Refusals of the list and the path that come before any worker starts.
bool BadBatchList(const ZR_QM_MacText *macs, unsigned int count, const char *path) {
    return (macs == nullptr && count > 0) || !korvel::FitsBatchPath(path);
}

} // namespace

int ZR_QM_UpgradeDevice(const char *mac, const char *path) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, path)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "UpgradeDevice", .renew = false},
                                   [&](Device &device) { return device.Upgrade(nullptr, 0, path); });
    });
}

// An absent MAC ends the call; offline devices are skipped and count as
// failures in the summary. A path of 1024 characters or more is refused.
int ZR_QM_BatchUpgradeDevice(const ZR_QM_MacText *macs, unsigned int count, const char *path) {
    return korvel::WithManager([&](Manager &manager) {
        if (BadBatchList(macs, count, path)) return KORVEL_PARAM_ERROR();
        return korvel::RunFileBatch(manager, {macs, count}, path, BatchMember{{.name = "BatchUpgradeDevice"}, true},
                                    UpgradeFrom);
    });
}

int ZR_QM_GetDeviceUpgradeProgress(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDeviceUpgradeProgress"}, UpgradeProgress);
    });
}

// The lowest progress above 0 (100 when all report 0); -1 when no device
// reported one. An absent MAC ends the call; offline devices are skipped.
int ZR_QM_BatchGetDeviceUpgradeProgress(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        korvel::BatchResults results = korvel::RunWorkers(
            manager, {macs, count}, BatchMember{{.name = "BatchGetDeviceUpgradeProgress"}, true}, UpgradeProgress);
        return results.ended_early != 0 ? results.ended_early : korvel::LowestProgress(results);
    });
}

// The single update computes the file's digest itself.
int ZR_QM_DevSystemUpdate(const char *mac, int kind, const char *path) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, path)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "DevSystemUpdate", .renew = false},
                                   [&](Device &device) {
                                       char digest[korvel::kDigestSize] = {0};
                                       if (korvel::FileDigest(path, digest) != 0) digest[0] = '\0';
                                       return device.SystemUpdate(nullptr, 0, kind, path, digest);
                                   });
    });
}

// Starts one background worker per online device with the caller's digest
// and returns ZR_QM_ERR_BATCH_PARTIAL at once, whatever the workers do; the
// caller follows them through the progress reads. An absent MAC ends the
// call (the workers started run on); offline devices are skipped. The
// workers own their device and copies of the path and digest, and
// ZR_QM_DeInit waits for them.
int ZR_QM_BatchDevSystemUpdate(const ZR_QM_MacText *macs, unsigned int count, int kind, const char *path,
                               const char *md5) {
    return korvel::WithManager([&](Manager &manager) {
        if (md5 == nullptr || BadBatchList(macs, count, path)) return KORVEL_PARAM_ERROR();
        const std::string file(path), digest(md5, strnlen(md5, 35));
        return korvel::StartBackgroundBatch(
            manager, {macs, count},
            BatchMember{{.name = "BatchDevSystemUpdate", .failure_line = "[%s]:[%d] upgrade device failed."}, true},
            [kind, file, digest](Device &device) {
                return device.SystemUpdate(nullptr, 0, kind, file.c_str(), digest.c_str());
            });
    });
}

int ZR_QM_GetDeviceSystemUpdateProgress(const char *mac, int kind) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDeviceSystemUpdateProgress"},
                                   UpdateProgress(kind));
    });
}

// The highest progress (0 at least); -1 when no device reported one. An
// absent MAC ends the call; offline devices are skipped.
int ZR_QM_BatchGetDeviceSystemUpdateProgress(const ZR_QM_MacText *macs, unsigned int count, int kind) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        korvel::BatchResults results =
            korvel::RunWorkers(manager, {macs, count},
                               BatchMember{{.name = "BatchGetDeviceSystemUpdateProgress"}, true}, UpdateProgress(kind));
        return results.ended_early != 0 ? results.ended_early : korvel::HighestProgress(results);
    });
}

int ZR_QM_SetDeviceScreen(const char *mac, int kind, const char *path) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, path)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDeviceScreen"},
                                   [&](Device &device) { return device.SetScreen(kind, nullptr, 0, path); });
    });
}

// An absent MAC ends the call; offline devices are skipped and count as
// failures in the summary. A path of 1024 characters or more is refused.
int ZR_QM_BatchSetDeviceScreen(const ZR_QM_MacText *macs, unsigned int count, int kind, const char *path) {
    return korvel::WithManager([&](Manager &manager) {
        if (BadBatchList(macs, count, path)) return KORVEL_PARAM_ERROR();
        return korvel::RunFileBatch(manager, {macs, count}, path, BatchMember{{.name = "BatchSetDeviceScreen"}, true},
                                    [kind](const SharedFile &file) -> DeviceRequest {
                                        return [kind, file](Device &device) {
                                            return device.SetScreen(kind, file.data.get(), file.size,
                                                                    file.path.c_str());
                                        };
                                    });
    });
}
