// Exports of device states: the refresh, the stored states and their texts,
// the statistics. None of the reads asks a receiver.
#include <cstring>

#include "core/api_frame.h"
#include "core/export_args.h"
#include "core/state_refresh.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Manager;

namespace {

// 0 and the device's state, or the lookup's code (logged).
int StoredState(Manager &manager, const char *mac, int &state) {
    korvel::DeviceMgr::DevicePtr device = manager.Managed().Find(mac);
    if (device == nullptr) {
        KLOG("[%s][%d]get device by mac address failed, mac address:%s.", mac);
        return ZR_QM_ERR_DEV_NOT_FOUND;
    }
    state = device->State();
    return 0;
}

void CopyStateText(int state, char *text) {
    const char *source = korvel::StateText(state);
    std::memcpy(text, source, std::strlen(source) + 1);
}

} // namespace

int ZR_QM_UpdateAllDeviceState(void) {
    return korvel::WithManager([&](Manager &manager) {
        korvel::StartRefreshes(manager.Managed());
        return 0;
    });
}

int ZR_QM_GetDeviceState(const char *mac, int *state) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, state)) return KORVEL_PARAM_ERROR();
        return StoredState(manager, mac, *state);
    });
}

// An unknown MAC gives its code and the offline text.
int ZR_QM_GetDeviceStateStr(const char *mac, char *text) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, text)) return KORVEL_PARAM_ERROR();
        int state = ZR_QM_STATE_OFFLINE;
        int result = StoredState(manager, mac, state);
        CopyStateText(result == 0 ? state : ZR_QM_STATE_OFFLINE, text);
        return result;
    });
}

// Needs no manager. A number outside 0 to 5 gives the offline text.
int ZR_QM_GetStateStrByEn(int state, char *text) {
    if (text == nullptr) return KORVEL_PARAM_ERROR();
    CopyStateText(state, text);
    return 0;
}

// Positions whose MAC is not managed keep what the caller put there.
int ZR_QM_BatchGetDevicState(const ZR_QM_MacText *macs, int *states, unsigned int count) {
    return korvel::WithManager([&](Manager &manager) {
        if (count > 0 && korvel::AnyNull(macs, states)) return KORVEL_PARAM_ERROR();
        for (unsigned int i = 0; i < count; ++i) {
            char mac[sizeof(ZR_QM_MacText)];
            korvel::CopyText(mac, macs[i]);
            korvel::DeviceMgr::DevicePtr device = manager.Managed().Find(mac);
            if (device == nullptr) {
                KLOG("[%s]:[%d] BatchGetDeviceState() get device by mac address failed.");
                continue;
            }
            states[i] = device->State();
        }
        return 0;
    });
}

// Adds to the caller's counters, which it passes zeroed.
int ZR_QM_GetDevStatistics(DeviceStatistics *statistics) {
    return korvel::WithManager([&](Manager &manager) {
        if (statistics == nullptr) return KORVEL_PARAM_ERROR();
        korvel::AddStatistics(manager.Managed(), *statistics);
        return 0;
    });
}
