// The devices a device command works on: MACs named on the command line, the
// members of a group (--group NAME) or every managed device (--all).
#pragma once

#include <korvel.h>

#include <string>
#include <vector>

#include "common/args.h"
#include "common/command.h"

namespace talvoctl {

// --group NAME and --all.
std::vector<OptionDef> TargetOptions();
// `options` followed by the target options.
std::vector<OptionDef> WithTargetOptions(std::vector<OptionDef> options);
// "MAC... | --group NAME | --all"
extern const char *const kTargetsSynopsis;

struct Targets {
    std::vector<DeviceInfo> online;  // the command runs on these
    std::vector<DeviceInfo> refused; // named by MAC but not online: they fail without a request
    std::vector<DeviceInfo> skipped; // members of the group or the fleet that are not online
};

// Resolves the MAC words and the target options of `context` after settling
// the states of the devices concerned. Throws a usage failure when the
// selection is missing or mixed, and ZR_QM_ERR_DEV_NOT_FOUND for MACs the
// library does not manage (before anything is sent).
Targets ResolveTargets(const Context &context, const std::vector<std::string> &macs);

// The one managed device `mac` names, after settling its state, with the
// library logged in to it; throws ZR_QM_ERR_DEV_NOT_FOUND,
// ZR_QM_ERR_DEV_OFFLINE or the login's failure. `run_times` as for
// SettleStates.
DeviceInfo OnlineDevice(const Context &context, const std::string &mac, bool run_times = false);

// The devices (as ResolveTargets finds them, unsettled) for commands that
// only read the library: the MACs, or the group, or every device.
std::vector<DeviceInfo> SelectDevices(const Context &context, const std::vector<std::string> &macs);

// The group name of --group in CP936, checked against the group list.
std::string GroupArgument(const std::string &utf8);

} // namespace talvoctl
