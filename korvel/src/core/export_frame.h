// The shapes the device exports share: the manager check, the required
// arguments, then the operation frame or the batch engine. An export names
// its operation and its request; everything else happens here.
#pragma once

#include "core/api_frame.h"
#include "core/batch_engine.h"
#include "core/export_args.h"
#include "core/operation_frame.h"

namespace korvel {

// Logs "parameter is not illegal!" and gives ZR_QM_ERR_PARAM.
int RefuseArguments();

// One device: ZR_QM_ERR_PARAM when `mac` or one of `required` is null.
template <class... Required>
int ExportOnDevice(const char *mac, const Operation &operation, const DeviceRequest &request,
                   const Required *...required) {
    return WithManager([&](Manager &manager) {
        if (AnyNull(mac, required...)) return RefuseArguments();
        return RunOnDevice(manager.Managed(), mac, operation, request);
    });
}

// True when a MAC list of `count` slots is missing.
inline bool MissingList(const ZR_QM_MacText *macs, unsigned int count) { return macs == nullptr && count > 0; }

// A synchronous batch: ZR_QM_ERR_PARAM for a missing list or a null of `required`.
template <class... Required>
int ExportBatch(const ZR_QM_MacText *macs, unsigned int count, const BatchMember &member, const DeviceRequest &request,
                const Required *...required) {
    return WithManager([&](Manager &manager) {
        if (MissingList(macs, count) || AnyNull(required...)) return RefuseArguments();
        return RunBatch(manager, {macs, count}, member, request);
    });
}

// A batch upload of the file at `path`: ZR_QM_ERR_PARAM also for a missing
// path or one of 1024 characters or more, before any worker starts.
int ExportFileBatch(const ZR_QM_MacText *macs, unsigned int count, const char *path, const BatchMember &member,
                    const FileRequestMaker &make);

// A batch progress read combined by `combine` (LowestProgress, HighestProgress).
int ExportProgressBatch(const ZR_QM_MacText *macs, unsigned int count, const BatchMember &member,
                        const DeviceRequest &request, int (*combine)(const BatchResults &));

} // namespace korvel
