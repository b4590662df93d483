// Exports of the maintenance commands, one device or a batch.
#include "core/api_frame.h"
#include "core/batch_engine.h"
#include "core/export_args.h"
#include "core/operation_frame.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::BatchMember;
using korvel::Device;
using korvel::Manager;

namespace {

int FactoryReset(Device &device) { return device.FactoryReset(); }
int Reboot(Device &device) { return device.Reboot(); }
int RebootViaTcp(Device &device) { return device.RebootViaTcp(); }

korvel::DeviceRequest Control(int command) {
    return [command](Device &device) { return device.Control(command); };
}

constexpr bool kSkipAbsent = false; // an absent MAC is skipped and the call goes on

} // namespace

int ZR_QM_DeviceFactoryReset(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "DeviceFactoryReset"}, FactoryReset);
    });
}

// Absent and offline devices are skipped and count as failures in the summary.
int ZR_QM_BatchDeviceFactoryReset(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        return korvel::RunBatch(manager, {macs, count}, BatchMember{{.name = "BatchDeviceFactoryReset"}, kSkipAbsent},
                                FactoryReset);
    });
}

int ZR_QM_DeviceReboot(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "DeviceReboot"}, Reboot);
    });
}

// Absent and offline devices are skipped and count as failures in the summary.
int ZR_QM_BatchDeviceReboot(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        return korvel::RunBatch(manager, {macs, count}, BatchMember{{.name = "BatchDeviceReboot"}, kSkipAbsent},
                                Reboot);
    });
}

// The TCP command carries its own credentials: no session to renew.
int ZR_QM_DeviceReboot_Ex(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "DeviceReboot_Ex", .renew = false}, RebootViaTcp);
    });
}

// Absent and offline devices are skipped and count as failures in the summary.
int ZR_QM_BatchDeviceReboot_Ex(const ZR_QM_MacText *macs, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        return korvel::RunBatch(manager, {macs, count},
                                BatchMember{{.name = "BatchDeviceReboot_Ex", .renew = false}, kSkipAbsent},
                                RebootViaTcp);
    });
}

int ZR_QM_DeviceContol(const char *mac, int command) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "DeviceContol"}, Control(command));
    });
}

// Absent and offline devices are skipped and count as failures in the summary.
int ZR_QM_BatchDeviceContol(const ZR_QM_MacText *macs, unsigned int count, int command) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        return korvel::RunBatch(manager, {macs, count}, BatchMember{{.name = "BatchDeviceContol"}, kSkipAbsent},
                                Control(command));
    });
}
