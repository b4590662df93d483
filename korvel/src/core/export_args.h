// Argument checks shared by the exports.
#pragma once

#include <cstring>

#include "core/log.h"
#include "korvel.h"

namespace korvel {

template <class... Pointers>
bool AnyNull(const Pointers *...pointers) {
    return ((pointers == nullptr) || ...);
}

template <class... Texts>
bool AnyEmpty(const Texts *...texts) {
    return ((texts == nullptr || texts[0] == '\0') || ...);
}

// True when `user` fits a device login user name (31 bytes at most): a
// longer one would be stored cut, and the device would then log in with a
// name nobody gave it.
inline bool FitsDeviceUserName(const char *user) {
    return user != nullptr && strnlen(user, sizeof DeviceInfo{}.Device_UserName) < sizeof DeviceInfo{}.Device_UserName;
}

} // namespace korvel

// Logs the refusal of an argument (in the export's own unit) and gives ZR_QM_ERR_PARAM.
#define KORVEL_PARAM_ERROR() (KLOG("[%s]:[%d] parameter is not illegal!"), ZR_QM_ERR_PARAM)
