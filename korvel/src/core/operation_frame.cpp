#include "core/operation_frame.h"

#include "core/log.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

namespace korvel {

DeviceMgr::DevicePtr FindForOperation(const DeviceMgr &registry, const char *mac, const Operation &operation) {
    DeviceMgr::DevicePtr device = registry.Find(mac);
    if (device != nullptr) return device;
    if (operation.lookup_line != nullptr) {
        KLOG(operation.lookup_line);
    } else {
        KLOG("[%s]:[%d] %s() get device by mac address failed", operation.name);
    }
    return nullptr;
}

bool RefusedOffline(const Device &device, const Operation &operation) {
    if (!operation.online || device.IsOnline()) return false;
    KLOG("[%s]:[%d] device is not online, not allowed operate.");
    return true;
}

namespace {

// A 401 says the receiver dropped the session, and a device that never logged
// in (loaded from the store, found by a search) has none yet: either way, log
// in with the stored credentials and repeat the request once, whatever its
// second result.
int RenewAndRepeat(Device &device, const DeviceRequest &request) {
    int login = device.LoginWith(nullptr, nullptr);
    if (login != 0) {
        KLOG("[%s]:[%d] login device failed.");
        return login;
    }
    return request(device);
}

} // namespace

int RunRequest(Device &device, const Operation &operation, const DeviceRequest &request) {
    int result = request(device);
    const bool session_missing = result == ZR_QM_ERR_HTTP_401 || result == ZR_QM_ERR_DEV_NO_SESSION;
    if (session_missing && operation.renew) result = RenewAndRepeat(device, request);
    if (result < 0) {
        if (operation.failure_line != nullptr) {
            KLOG(operation.failure_line);
        } else {
            KLOG("[%s]:[%d] %s() failed, result %d.", operation.name, result);
        }
    }
    return result;
}

int RunOnDevice(const DeviceMgr &registry, const char *mac, const Operation &operation,
                const DeviceRequest &request) {
    DeviceMgr::DevicePtr device = FindForOperation(registry, mac, operation);
    if (device == nullptr) return ZR_QM_ERR_DEV_NOT_FOUND;
    if (RefusedOffline(*device, operation)) return ZR_QM_ERR_DEV_OFFLINE;
    return RunRequest(*device, operation, request);
}

} // namespace korvel
