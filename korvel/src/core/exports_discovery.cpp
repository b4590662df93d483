// Exports of discovery and the manual add.
#include "core/api_frame.h"
#include "core/export_args.h"
#include "net/discovery.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Manager;

int ZR_QM_SearchDevice(void) {
    return korvel::WithManager([](Manager &manager) { return korvel::SendDiscoveryRequest(manager, "SearchDevice"); });
}

int ZR_QM_UpdateDeviceInfo(void) {
    return korvel::WithManager(
        [](Manager &manager) { return korvel::SendDiscoveryRequest(manager, "UpdateDeviceInfo"); });
}

// The user name and password arguments are not used: the device operate
// credentials log in.
int ZR_QM_AddDevice(const char *ip, const char *, const char *, DeviceInfo *info) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyEmpty(ip) || info == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::AddDeviceByAddress(manager, ip, *info);
    });
}
