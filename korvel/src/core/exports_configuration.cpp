// Exports of the configuration sections, the two password changes and Wi-Fi.
#include "core/api_frame.h"
#include "core/batch_engine.h"
#include "core/digest.h"
#include "core/export_args.h"
#include "core/operation_frame.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::BatchMember;
using korvel::Device;
using korvel::Manager;

namespace {

korvel::DeviceRequest SetWifi(int open) {
    return [open](Device &device) { return device.SetWifi(open != 0); };
}

// Both passwords as digests, so no plain text reaches a receiver.
struct PasswordChange {
    char current_md5[korvel::kDigestSize];
    char new_md5[korvel::kDigestSize];
    PasswordChange(const char *current, const char *password) {
        korvel::TextDigest(current, current_md5);
        korvel::TextDigest(password, new_md5);
    }
};

} // namespace

int ZR_QM_GetDeviceNetConf(const char *mac, NetConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDeviceNetConf"},
                                   [&](Device &device) { return device.GetNetConfig(*config); });
    });
}

int ZR_QM_SetDeviceNetConf(const char *mac, const NetConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDeviceNetConf"},
                                   [&](Device &device) { return device.SetNetConfig(*config); });
    });
}

int ZR_QM_GetDeviceVOConf(const char *mac, VideoOutConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDeviceVOConf"},
                                   [&](Device &device) { return device.GetVideoOut(*config); });
    });
}

int ZR_QM_SetDeviceVOConf(const char *mac, const VideoOutConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDeviceVOConf"},
                                   [&](Device &device) { return device.SetVideoOut(*config); });
    });
}

int ZR_QM_GetDevicePinCode(const char *mac, PinCodeConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDevicePinCode"},
                                   [&](Device &device) { return device.GetPinCode(*config); });
    });
}

// The record's first field is what the receiver takes.
int ZR_QM_SetDevicePinCode(const char *mac, const PinCodeConfig *config) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, config)) return KORVEL_PARAM_ERROR();
        char use_input_code[sizeof config->use_input_code + 1]; // the field may lack its terminator
        korvel::CopyText(use_input_code, config->use_input_code);
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDevicePinCode"},
                                   [&](Device &device) { return device.SetPinCode(use_input_code); });
    });
}

int ZR_QM_SetDeviceWebLoginPWD(const char *mac, const char *current, const char *password) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, current, password)) return KORVEL_PARAM_ERROR();
        const PasswordChange change(current, password);
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDeviceWebLoginPWD"}, [&](Device &device) {
            return device.ChangeWebPassword(change.current_md5, change.new_md5);
        });
    });
}

int ZR_QM_SetDeviceWifi(const char *mac, int open) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "SetDeviceWifi"}, SetWifi(open));
    });
}

// Absent and offline devices are skipped and count as failures in the summary.
int ZR_QM_BatchSetDeviceWifi(const ZR_QM_MacText *macs, unsigned int count, int open) {
    return korvel::WithManager([&](Manager &manager) {
        if (macs == nullptr && count > 0) return KORVEL_PARAM_ERROR();
        return korvel::RunBatch(manager, {macs, count}, BatchMember{{.name = "BatchSetDeviceWifi"}, false},
                                SetWifi(open));
    });
}

// Every listed device gets a worker, online or not; an absent MAC ends the call.
int ZR_QM_BatchSetDeviceLoginPWD(const ZR_QM_MacText *macs, unsigned int count, const char *current,
                                 const char *password) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(current, password) || (macs == nullptr && count > 0)) return KORVEL_PARAM_ERROR();
        const PasswordChange change(current, password);
        return korvel::RunBatch(manager, {macs, count},
                                BatchMember{{.name = "BatchSetDeviceLoginPWD", .online = false}, true},
                                [change](Device &device) {
                                    return device.ChangeLoginPassword(change.current_md5, change.new_md5);
                                });
    });
}
