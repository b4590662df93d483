// Exports of the maintenance commands, one device or a batch. In the batches
// an absent MAC is skipped and the call goes on; absent and offline devices
// get no worker and count as failures in the summary.
#include "core/export_frame.h"

using korvel::BatchMember;
using korvel::Device;

namespace {

int FactoryReset(Device &device) { return device.FactoryReset(); }
int Reboot(Device &device) { return device.Reboot(); }
int RebootViaTcp(Device &device) { return device.RebootViaTcp(); }

korvel::DeviceRequest Control(int command) {
    return [command](Device &device) { return device.Control(command); };
}

constexpr bool kSkipAbsent = false;

} // namespace

int ZR_QM_DeviceFactoryReset(const char *mac) {
    return korvel::ExportOnDevice(mac, {.name = "DeviceFactoryReset"}, FactoryReset);
}

int ZR_QM_BatchDeviceFactoryReset(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::ExportBatch(macs, count, BatchMember{{.name = "BatchDeviceFactoryReset"}, kSkipAbsent},
                               FactoryReset);
}

int ZR_QM_DeviceReboot(const char *mac) { return korvel::ExportOnDevice(mac, {.name = "DeviceReboot"}, Reboot); }

int ZR_QM_BatchDeviceReboot(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::ExportBatch(macs, count, BatchMember{{.name = "BatchDeviceReboot"}, kSkipAbsent}, Reboot);
}

// The TCP command carries its own credentials: no session to renew.
int ZR_QM_DeviceReboot_Ex(const char *mac) {
    return korvel::ExportOnDevice(mac, {.name = "DeviceReboot_Ex", .renew = false}, RebootViaTcp);
}

int ZR_QM_BatchDeviceReboot_Ex(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::ExportBatch(macs, count, BatchMember{{.name = "BatchDeviceReboot_Ex", .renew = false}, kSkipAbsent},
                               RebootViaTcp);
}

int ZR_QM_DeviceContol(const char *mac, int command) {
    return korvel::ExportOnDevice(mac, {.name = "DeviceContol"}, Control(command));
}

int ZR_QM_BatchDeviceContol(const ZR_QM_MacText *macs, unsigned int count, int command) {
    return korvel::ExportBatch(macs, count, BatchMember{{.name = "BatchDeviceContol"}, kSkipAbsent}, Control(command));
}
