#include "common/device_states.h"

#include <korvel.h>

#include <cctype>
#include <set>
#include <thread>

#include "common/device_text.h"
#include "common/library_lists.h"

namespace talvoctl {
namespace {

constexpr auto kRoundInterval = std::chrono::milliseconds(500);
constexpr auto kPollInterval = std::chrono::milliseconds(50);

// A device's durations change only when a refresh runs (the offline one
// counts from when the library created the device), so a non-zero duration
// shows that a refresh has looked at it.
bool Settled(const DeviceInfo &info, int state, bool run_times) {
    if (state == ZR_QM_STATE_OFFLINE) return info.StateDuration > 0;
    if (run_times && IsOnline(state)) return info.RunTime != 0 || info.StateDuration > 0;
    return true;
}

bool AllSettled(const std::set<std::string> &wanted, bool run_times) {
    std::size_t seen = 0;
    for (const DeviceInfo &info : ManagedDevices()) {
        if (wanted.count(MacKey(info.Wired_MacAddr)) == 0) continue;
        ++seen;
        if (!Settled(info, StoredState(info.Wired_MacAddr), run_times)) return false;
    }
    return seen > 0 || wanted.empty();
}

} // namespace

std::string MacKey(const std::string &mac) {
    std::string key = mac;
    for (char &c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

std::string MacListText(const std::vector<std::string> &macs) {
    std::string list;
    for (const std::string &mac : macs) list += (list.empty() ? "" : ", ") + mac;
    return list;
}

void SettleStates(const std::vector<std::string> &macs, std::chrono::milliseconds limit, bool run_times) {
    if (macs.empty()) return;
    std::set<std::string> wanted;
    for (const std::string &mac : macs) wanted.insert(MacKey(mac));
    auto now = std::chrono::steady_clock::now();
    const auto deadline = now + limit;
    auto next_round = now;
    for (;;) {
        if (now >= next_round) {
            ZR_QM_UpdateAllDeviceState(); // starts a refresh for each device that has none running
            next_round = now + kRoundInterval;
        }
        std::this_thread::sleep_for(kPollInterval);
        now = std::chrono::steady_clock::now();
        if (AllSettled(wanted, run_times) || now >= deadline) return;
    }
}

} // namespace talvoctl
