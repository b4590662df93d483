// Exports of the device session and of the status and version reads.
#include <cstring>

#include "core/api_frame.h"
#include "core/digest.h"
#include "core/export_args.h"
#include "core/operation_frame.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Device;
using korvel::Manager;

// With both a user name and a password, logs in with them (the password as
// its digest) and keeps them on success; otherwise with the stored pair. An
// offline device may log in.
int ZR_QM_LoginDevice(const char *mac, const char *user, const char *password) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        char digest[korvel::kDigestSize] = {0};
        const bool given = user != nullptr && password != nullptr;
        if (given) korvel::TextDigest(password, digest);
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "LoginDevice", .online = false, .renew = false},
                                   [&](Device &device) { return device.LoginWith(user, given ? digest : nullptr); });
    });
}

int ZR_QM_LogoutDevice(const char *mac) {
    return korvel::WithManager([&](Manager &manager) {
        if (mac == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "LogoutDevice", .online = false, .renew = false},
                                   [](Device &device) { return device.Logout(); });
    });
}

int ZR_QM_GetDevicStatus(const char *mac, DeviceNetStatus *status) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, status)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDevicStatus"},
                                   [&](Device &device) { return device.GetNetStatus(*status); });
    });
}

// Read from the network settings; asked also of a device that is not online.
int ZR_QM_GetDeviceVersion(const char *mac, char *version) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, version)) return KORVEL_PARAM_ERROR();
        return korvel::RunOnDevice(manager.Managed(), mac, {.name = "GetDeviceVersion", .online = false},
                                   [&](Device &device) {
                                       NetConfig config{};
                                       int result = device.GetNetConfig(config);
                                       if (result != 0) return result;
                                       char text[32];
                                       korvel::CopyText(text, config.dev_ver_info);
                                       std::memcpy(version, text, std::strlen(text) + 1);
                                       return 0;
                                   });
    });
}
