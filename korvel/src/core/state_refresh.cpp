#include "core/state_refresh.h"

#include <ctime>

#include "core/log.h"

#define KORVEL_LOG_UNIT "DeviceMgr"

namespace korvel {

bool IsOnlineState(int state) {
    return state == ZR_QM_STATE_IDLE || state == ZR_QM_STATE_SHARE || state == ZR_QM_STATE_UPGRADE;
}

const char *StateText(int state) {
    switch (state) {
    case ZR_QM_STATE_IDLE: return "\xD4\xCB\xD0\xD0";    // 运行
    case ZR_QM_STATE_SHARE: return "\xCD\xB6\xC6\xC1";   // 投屏
    case ZR_QM_STATE_UPGRADE: return "\xC9\xFD\xBC\xB6"; // 升级
    case ZR_QM_STATE_STANDBY: return "\xB4\xFD\xBB\xFA"; // 待机
    default: return "\xB5\xF4\xCF\xDF";                  // 掉线: offline, unknown and any other number
    }
}

namespace {

uint32_t SecondsBetween(int64_t since, int64_t now) {
    if (now <= since) return 0;
    int64_t seconds = now - since;
    return seconds > INT64_C(0xFFFFFFFF) ? UINT32_MAX : static_cast<uint32_t>(seconds);
}

} // namespace

RefreshRecord NextRefresh(const RefreshRecord &old, int new_state, uint32_t run_time, int64_t now,
                          bool &came_online) {
    RefreshRecord next = old;
    const bool was_online = IsOnlineState(old.state);
    const bool is_online = IsOnlineState(new_state);
    came_online = !was_online && is_online;
    if (came_online) {
        next.online_since = now;
        next.online_duration = 0;
        next.missed = 0;
        // The run time was recorded before the outage: a lower one means a restart.
        if (run_time >= 1 && run_time <= old.run_time) ++next.reboots;
        next.state = new_state;
    } else if (was_online && is_online) {
        next.online_duration = SecondsBetween(old.online_since, now);
        next.run_time = run_time;
        next.missed = 0;
        next.state = new_state;
    } else if (was_online) {
        if (++next.missed < kMissesBeforeOffline) return next; // a short outage keeps the online state
        next.offline_since = now;
        next.offline_duration = 0;
        next.missed = 0;
        next.state = new_state;
    } else {
        next.offline_duration = SecondsBetween(old.offline_since, now);
        next.state = new_state;
    }
    return next;
}

namespace {

// The receiver's state and run time; false when the refresh must change
// nothing. A failed session renewal answers state 5.
bool AskState(Device &device, int &state, int &run_time) {
    state = ZR_QM_STATE_UNKNOWN;
    run_time = 0;
    int result = device.GetState(state, run_time);
    if (result == ZR_QM_ERR_HTTP_401) {
        if (device.LoginWith(nullptr, nullptr) != 0) {
            KLOG("[%s]:[%d] LoginDevice failed.");
            state = ZR_QM_STATE_UNKNOWN;
            run_time = 0;
            return true;
        }
        result = device.GetState(state, run_time);
    }
    if (result != 0) {
        KLOG("[%s]:[%d] GetDeviceState failed.");
        return false;
    }
    return true;
}

// Coming online: the firmware version and the name may have changed while
// the receiver was away. Both results are ignored.
void RereadIdentity(Device &device) {
    NetConfig config{};
    device.GetNetConfig(config);
    DeviceNetStatus status{};
    device.GetNetStatus(status);
}

} // namespace

void RefreshDevice(Device &device) {
    int state = ZR_QM_STATE_UNKNOWN, run_time = 0;
    if (!AskState(device, state, run_time)) return;
    bool came_online = false;
    RefreshRecord next = NextRefresh(device.Refresh(), state, static_cast<uint32_t>(run_time),
                                     static_cast<int64_t>(std::time(nullptr)), came_online);
    if (came_online) RereadIdentity(device);
    device.SetRefresh(next);
}

void StartRefreshes(const DeviceMgr &registry) {
    for (const DeviceMgr::DevicePtr &device : registry.Devices()) {
        // The refresh holds no shared_ptr of its own device: the last release
        // would join the refresh thread from itself. Removal and stop wait for
        // the refresh before the device goes, so the pointer stays valid.
        Device *target = device.get();
        device->StartRefresh([target] { RefreshDevice(*target); });
    }
}

void AddStatistics(const DeviceMgr &registry, DeviceStatistics &statistics) {
    for (const DeviceMgr::DevicePtr &device : registry.Devices()) {
        switch (device->State()) {
        case ZR_QM_STATE_OFFLINE:
        case ZR_QM_STATE_UNKNOWN: ++statistics.offline_num; break;
        case ZR_QM_STATE_IDLE:
        case ZR_QM_STATE_UPGRADE: ++statistics.online_num; break;
        case ZR_QM_STATE_SHARE: ++statistics.share_num; break;
        default: break; // standby is counted nowhere
        }
    }
}

} // namespace korvel
