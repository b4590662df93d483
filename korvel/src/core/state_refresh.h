// State refresh: each ZR_QM_UpdateAllDeviceState starts one refresh per
// managed device on the device's refresh thread (at most one runs per
// device). A refresh asks the receiver for its state and run time and moves
// the device through a state machine that debounces short outages, measures
// how long the device has been online or offline and counts reboots. The
// state queries and the statistics read what the last refresh stored.
#pragma once

#include <cstdint>

#include "core/device_mgr.h"
#include "korvel.h"

namespace korvel {

// Consecutive refreshes that must find an online device not online before it
// counts as offline.
constexpr uint32_t kMissesBeforeOffline = 3;

// The record after one answer of the receiver (state, run time) at `now`;
// `came_online` tells the caller to re-read the receiver's identity.
RefreshRecord NextRefresh(const RefreshRecord &old, int new_state, uint32_t run_time, int64_t now,
                          bool &came_online);

// One refresh of `device`, run on its refresh thread.
void RefreshDevice(Device &device);

// Starts a refresh for every device of `registry` that has none running.
void StartRefreshes(const DeviceMgr &registry);

// Adds every device of `registry` to its counter.
void AddStatistics(const DeviceMgr &registry, DeviceStatistics &statistics);

// The text of a state in code page 936; "掉线" for 4, 5 and any unknown state.
const char *StateText(int state);

bool IsOnlineState(int state);

} // namespace korvel
