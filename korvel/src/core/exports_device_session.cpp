// Exports of the device session and of the status and version reads.
#include <cstring>

#include "core/digest.h"
#include "core/export_frame.h"
#include "core/text.h"

using korvel::Device;

// With both a user name and a password, logs in with them (the password as
// its digest) and keeps them on success; otherwise with the stored pair. An
// offline device may log in. A given user name that does not fit is refused.
int ZR_QM_LoginDevice(const char *mac, const char *user, const char *password) {
    const bool given = user != nullptr && password != nullptr;
    char digest[korvel::kDigestSize] = {0};
    if (given) korvel::TextDigest(password, digest);
    const korvel::Operation operation{.name = "LoginDevice", .online = false, .renew = false};
    return korvel::WithManager([&](korvel::Manager &manager) {
        if (mac == nullptr || (given && !korvel::FitsDeviceUserName(user))) return korvel::RefuseArguments();
        return korvel::RunOnDevice(manager.Managed(), mac, operation,
                                   [&](Device &device) { return device.LoginWith(user, given ? digest : nullptr); });
    });
}

int ZR_QM_LogoutDevice(const char *mac) {
    return korvel::ExportOnDevice(mac, {.name = "LogoutDevice", .online = false, .renew = false},
                                  [](Device &device) { return device.Logout(); });
}

int ZR_QM_GetDevicStatus(const char *mac, DeviceNetStatus *status) {
    return korvel::ExportOnDevice(
        mac, {.name = "GetDevicStatus"}, [&](Device &device) { return device.GetNetStatus(*status); }, status);
}

// Read from the network settings; asked also of a device that is not online.
int ZR_QM_GetDeviceVersion(const char *mac, char *version) {
    return korvel::ExportOnDevice(
        mac, {.name = "GetDeviceVersion", .online = false},
        [&](Device &device) {
            NetConfig config{};
            int result = device.GetNetConfig(config);
            if (result != 0) return result;
            char text[32];
            korvel::CopyText(text, config.dev_ver_info);
            std::memcpy(version, text, std::strlen(text) + 1);
            return 0;
        },
        version);
}
