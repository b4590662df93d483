// Exports of host (compere) mode and multi-display mode.
#include "core/export_frame.h"
#include "core/text.h"

using korvel::Device;
using korvel::Operation;

namespace {

constexpr Operation DisplayMode(const char *name) {
    return {.name = name, .lookup_line = "[%s]:[%d] get device failed.\n"};
}

} // namespace

int ZR_QM_GetCompereList(const char *mac, CompereList *list) {
    return korvel::ExportOnDevice(
        mac, DisplayMode("GetCompereList"), [&](Device &device) { return device.GetCompereList(*list); }, list);
}

// Only the member's IP address is read.
int ZR_QM_SetCompereMember(const char *mac, int operation, const CompereMember *member) {
    return korvel::ExportOnDevice(
        mac, DisplayMode("SetCompereMember"),
        [&](Device &device) {
            char conn_ip[sizeof member->conn_ip + 1]; // the field may lack its terminator
            korvel::CopyText(conn_ip, member->conn_ip);
            return device.SetCompereMember(operation, conn_ip);
        },
        member);
}

int ZR_QM_GetMulticastMode(const char *mac, MulticastModeConfig *config) {
    return korvel::ExportOnDevice(
        mac, DisplayMode("GetMulticastMode"), [&](Device &device) { return device.GetMulticastMode(*config); },
        config);
}

int ZR_QM_SetMulticastMode(const char *mac, const MulticastModeConfig *config) {
    return korvel::ExportOnDevice(
        mac, DisplayMode("SetMulticastMode"), [&](Device &device) { return device.SetMulticastMode(*config); },
        config);
}
