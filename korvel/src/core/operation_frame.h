// The frame around every request an export makes of one managed device:
// lookup by MAC with the operation's message, the online check against the
// state of the last refresh, the request, one renewal of the session on
// ZR_QM_ERR_HTTP_401 or a missing session and the failure log. Batch workers run the part from the
// request on (RunRequest).
#pragma once

#include <functional>

#include "core/device_mgr.h"

namespace korvel {

// How the frame treats one operation.
struct Operation {
    const char *name;                   // the export's name without "ZR_QM_", for the log lines
    bool online = true;                 // refused (single) or skipped (batch) unless online
    bool renew = true;                  // log in and repeat once on ZR_QM_ERR_HTTP_401 or no session
    const char *lookup_line = nullptr;  // instead of "<name>() get device by mac address failed"
    const char *failure_line = nullptr; // instead of "<name>() failed, result <code>."
};

// The request itself: 0, a progress value (>= 0) or an error code.
using DeviceRequest = std::function<int(Device &)>;

// The device named by `mac` in `registry`, or null after logging the
// operation's lookup message.
DeviceMgr::DevicePtr FindForOperation(const DeviceMgr &registry, const char *mac, const Operation &operation);

// True (after logging the refusal) when the operation needs an online device
// and the stored state is not online.
bool RefusedOffline(const Device &device, const Operation &operation);

// Makes the request, renews the session once on ZR_QM_ERR_HTTP_401 or
// ZR_QM_ERR_DEV_NO_SESSION when the operation says so, and logs a negative
// result.
int RunRequest(Device &device, const Operation &operation, const DeviceRequest &request);

// The whole frame: lookup (ZR_QM_ERR_DEV_NOT_FOUND), online check
// (ZR_QM_ERR_DEV_OFFLINE), then RunRequest.
int RunOnDevice(const DeviceMgr &registry, const char *mac, const Operation &operation,
                const DeviceRequest &request);

} // namespace korvel
