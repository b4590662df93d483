#include "common/device_text.h"

#include <korvel.h>

#include <cstdio>

#include "common/encoding.h"

namespace talvoctl {

std::string StateText(int state) {
    char text[32] = {};
    ZR_QM_GetStateStrByEn(state, text);
    return FieldToUtf8(text);
}

std::string StateName(int state) {
    switch (state) {
    case ZR_QM_STATE_IDLE: return "idle";
    case ZR_QM_STATE_SHARE: return "casting";
    case ZR_QM_STATE_UPGRADE: return "upgrading";
    case ZR_QM_STATE_STANDBY: return "standby";
    case ZR_QM_STATE_OFFLINE: return "offline";
    default: return "unknown";
    }
}

bool IsOnline(int state) {
    return state == ZR_QM_STATE_IDLE || state == ZR_QM_STATE_SHARE || state == ZR_QM_STATE_UPGRADE;
}

int StoredState(const std::string &mac) {
    int state = ZR_QM_STATE_UNKNOWN;
    if (ZR_QM_GetDeviceState(mac.c_str(), &state) != 0) return ZR_QM_STATE_UNKNOWN;
    return state;
}

std::string FormatDuration(std::uint32_t seconds) {
    char text[48];
    unsigned hours = seconds % 86400 / 3600, minutes = seconds % 3600 / 60, rest = seconds % 60;
    if (seconds < 86400) {
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, rest);
    } else {
        std::snprintf(text, sizeof text, "%u\xE5\xA4\xA9%02u:%02u:%02u", seconds / 86400, hours, minutes, rest);
    }
    return text;
}

} // namespace talvoctl
