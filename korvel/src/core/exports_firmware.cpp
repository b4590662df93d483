// Exports of firmware upgrades, system updates, screen images and their
// progress reads, one device or a batch. In the batches an absent MAC ends
// the call (workers already started run on) and offline devices are skipped;
// in a summary a skipped device counts as a failure.
#include <cstring>
#include <memory>
#include <string>

#include "core/digest.h"
#include "core/export_frame.h"

using korvel::BatchMember;
using korvel::Device;
using korvel::DeviceRequest;
using korvel::SharedFile;

namespace {

constexpr bool kAbsentEndsCall = true;

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

} // namespace

int ZR_QM_UpgradeDevice(const char *mac, const char *path) {
    return korvel::ExportOnDevice(
        mac, {.name = "UpgradeDevice", .renew = false},
        [&](Device &device) { return device.Upgrade(nullptr, 0, path); }, path);
}

// A path of 1024 characters or more is refused.
int ZR_QM_BatchUpgradeDevice(const ZR_QM_MacText *macs, unsigned int count, const char *path) {
    return korvel::ExportFileBatch(macs, count, path, BatchMember{{.name = "BatchUpgradeDevice"}, kAbsentEndsCall},
                                   UpgradeFrom);
}

int ZR_QM_GetDeviceUpgradeProgress(const char *mac) {
    return korvel::ExportOnDevice(mac, {.name = "GetDeviceUpgradeProgress"}, UpgradeProgress);
}

// The lowest progress above 0 (100 when all report 0); -1 when no device reported one.
int ZR_QM_BatchGetDeviceUpgradeProgress(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::ExportProgressBatch(macs, count,
                                       BatchMember{{.name = "BatchGetDeviceUpgradeProgress"}, kAbsentEndsCall},
                                       UpgradeProgress, korvel::LowestProgress);
}

// The single update computes the file's digest itself.
int ZR_QM_DevSystemUpdate(const char *mac, int kind, const char *path) {
    return korvel::ExportOnDevice(
        mac, {.name = "DevSystemUpdate", .renew = false},
        [&](Device &device) {
            char digest[korvel::kDigestSize] = {0};
            if (korvel::FileDigest(path, digest) != 0) digest[0] = '\0'; // the receiver judges an empty digest
            return device.SystemUpdate(nullptr, 0, kind, path, digest);
        },
        path);
}

// Starts one background worker per online device with the caller's digest
// and returns ZR_QM_ERR_BATCH_PARTIAL at once, whatever the workers do; the
// caller follows them through the progress reads. The workers own their
// device and copies of the path and digest; ZR_QM_DeInit waits for them. A
// path of 1024 characters or more is refused.
int ZR_QM_BatchDevSystemUpdate(const ZR_QM_MacText *macs, unsigned int count, int kind, const char *path,
                               const char *md5) {
    return korvel::WithManager([&](korvel::Manager &manager) {
        if (md5 == nullptr || korvel::MissingList(macs, count) || !korvel::FitsBatchPath(path))
            return korvel::RefuseArguments();
        const std::string file(path), digest(md5, strnlen(md5, 35));
        return korvel::StartBackgroundBatch(
            manager, {macs, count},
            BatchMember{{.name = "BatchDevSystemUpdate", .failure_line = "[%s]:[%d] upgrade device failed."},
                        kAbsentEndsCall},
            [kind, file, digest](Device &device) {
                return device.SystemUpdate(nullptr, 0, kind, file.c_str(), digest.c_str());
            });
    });
}

int ZR_QM_GetDeviceSystemUpdateProgress(const char *mac, int kind) {
    return korvel::ExportOnDevice(mac, {.name = "GetDeviceSystemUpdateProgress"}, UpdateProgress(kind));
}

// The highest progress (0 at least); -1 when no device reported one.
int ZR_QM_BatchGetDeviceSystemUpdateProgress(const ZR_QM_MacText *macs, unsigned int count, int kind) {
    return korvel::ExportProgressBatch(macs, count,
                                       BatchMember{{.name = "BatchGetDeviceSystemUpdateProgress"}, kAbsentEndsCall},
                                       UpdateProgress(kind), korvel::HighestProgress);
}

int ZR_QM_SetDeviceScreen(const char *mac, int kind, const char *path) {
    return korvel::ExportOnDevice(
        mac, {.name = "SetDeviceScreen"}, [&](Device &device) { return device.SetScreen(kind, nullptr, 0, path); },
        path);
}

// A path of 1024 characters or more is refused.
int ZR_QM_BatchSetDeviceScreen(const ZR_QM_MacText *macs, unsigned int count, int kind, const char *path) {
    return korvel::ExportFileBatch(macs, count, path, BatchMember{{.name = "BatchSetDeviceScreen"}, kAbsentEndsCall},
                                   [kind](const SharedFile &file) -> DeviceRequest {
                                       return [kind, file](Device &device) {
                                           return device.SetScreen(kind, file.data.get(), file.size,
                                                                   file.path.c_str());
                                       };
                                   });
}
