// Exports of host (compere) mode and multi-display mode.
#include "core/api_frame.h"
#include "core/export_args.h"
#include "core/operation_frame.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Device;
using korvel::Manager;
using korvel::Operation;

namespace {

constexpr const char *kLookupLine = "[%s]:[%d] get device failed.\n";

constexpr Operation DisplayMode(const char *name) { return {.name = name, .lookup_line = kLookupLine}; }

} // namespace

int ZR_QM_GetCompereList(const char *mac, CompereList *list) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, list)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, DisplayMode("GetCompereList"),
                                   [&](Device &device) { return device.GetCompereList(*list); });
    });
}

// Only the member's IP address is read.
int ZR_QM_SetCompereMember(const char *mac, int operation, const CompereMember *member) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, member)) return KORVEL_PARAM_ERROR();
        char conn_ip[sizeof member->conn_ip + 1]; // the field may lack its terminator
        korvel::CopyText(conn_ip, member->conn_ip);
        return korvel::RunOnDevice(manager.Managed(), mac, DisplayMode("SetCompereMember"),
                                   [&](Device &device) { return device.SetCompereMember(operation, conn_ip); });
    });
}

int ZR_QM_GetMulticastMode(const char *mac, MulticastModeConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, DisplayMode("GetMulticastMode"),
                                   [&](Device &device) { return device.GetMulticastMode(*config); });
    });
}

int ZR_QM_SetMulticastMode(const char *mac, const MulticastModeConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, DisplayMode("SetMulticastMode"),
                                   [&](Device &device) { return device.SetMulticastMode(*config); });
    });
}
