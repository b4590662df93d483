#include "common/targets.h"

#include <algorithm>
#include <set>

#include "common/device_states.h"
#include "common/device_text.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"

namespace talvoctl {

const char *const kTargetsSynopsis = "MAC... | --group NAME | --all";

std::vector<OptionDef> TargetOptions() {
    return {{"group", 'g', "NAME", "every device of the group"}, {"all", 'a', "", "every managed device"}};
}

std::vector<OptionDef> WithTargetOptions(std::vector<OptionDef> options) {
    std::vector<OptionDef> targets = TargetOptions();
    options.insert(options.end(), targets.begin(), targets.end());
    return options;
}

std::string GroupArgument(const std::string &utf8) {
    std::string name = ArgumentToCp936(utf8, "the group name", sizeof(ZR_QM_GroupName) - 1);
    std::vector<std::string> groups = GroupNames();
    if (std::find(groups.begin(), groups.end(), name) == groups.end() && name != kDefaultGroup) {
        throw Failure(ZR_QM_ERR_GROUP, "group \"" + utf8 + "\"");
    }
    return name;
}

namespace {

std::vector<DeviceInfo> NamedDevices(const std::vector<std::string> &macs) {
    std::vector<DeviceInfo> devices;
    std::vector<std::string> unknown;
    std::set<std::string> seen;
    for (const std::string &mac : macs) {
        std::optional<DeviceInfo> info =
            mac.size() < sizeof(ZR_QM_MacText) ? FindDevice(mac) : std::optional<DeviceInfo>();
        if (!info) {
            unknown.push_back(mac);
        } else if (seen.insert(MacKey(info->Wired_MacAddr)).second) {
            devices.push_back(*info);
        }
    }
    if (!unknown.empty()) throw Failure(ZR_QM_ERR_DEV_NOT_FOUND, MacListText(unknown));
    return devices;
}

// The same devices as now refreshed.
std::vector<DeviceInfo> Reread(const std::vector<DeviceInfo> &devices) {
    std::vector<DeviceInfo> fresh;
    for (const DeviceInfo &info : devices) fresh.push_back(FindDevice(info.Wired_MacAddr).value_or(info));
    return fresh;
}

} // namespace

std::vector<DeviceInfo> SelectDevices(const Context &context, const std::vector<std::string> &macs) {
    std::optional<std::string> group = context.args.Value("group");
    bool all = context.args.Has("all");
    int ways = (macs.empty() ? 0 : 1) + (group ? 1 : 0) + (all ? 1 : 0);
    if (ways == 0) throw UsageFailure(std::string("name the devices: ") + kTargetsSynopsis);
    if (ways > 1) throw UsageFailure(std::string("name the devices one way only: ") + kTargetsSynopsis);
    if (group) return GroupDevices(GroupArgument(*group));
    if (all) return ManagedDevices();
    return NamedDevices(macs);
}

Targets ResolveTargets(const Context &context, const std::vector<std::string> &macs) {
    std::vector<DeviceInfo> devices = SelectDevices(context, macs);
    if (devices.empty()) throw Failure(ZR_QM_ERR_DEV_NOT_FOUND, "the selection holds no device");
    SettleStates(MacsOf(devices), context.wait, false);
    Targets targets;
    const bool named = !macs.empty();
    for (const DeviceInfo &info : Reread(devices)) {
        if (IsOnline(StoredState(info.Wired_MacAddr))) {
            targets.online.push_back(info);
        } else {
            (named ? targets.refused : targets.skipped).push_back(info);
        }
    }
    return targets;
}

DeviceInfo OnlineDevice(const Context &context, const std::string &mac, bool run_times) {
    DeviceInfo info = NamedDevices({mac}).front();
    SettleStates({info.Wired_MacAddr}, context.wait, run_times);
    info = FindDevice(info.Wired_MacAddr).value_or(info);
    if (!IsOnline(StoredState(info.Wired_MacAddr))) throw Failure(ZR_QM_ERR_DEV_OFFLINE, mac);
    // A fresh run of the library holds no session with any receiver.
    Check(ZR_QM_LoginDevice(info.Wired_MacAddr, nullptr, nullptr), std::string("log in to ") + info.Wired_MacAddr);
    return info;
}

} // namespace talvoctl
