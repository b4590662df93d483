// Device states before device work. A fresh run of the library knows no
// states: every device starts offline until a refresh has asked it. So
// talvoctl runs refresh rounds (ZR_QM_UpdateAllDeviceState), as the desktop
// program's five-second timer does but every half second, until the states
// of the devices it will touch are known or the wait runs out.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace talvoctl {

// How long SettleStates waits at most (global option --wait).
inline constexpr std::chrono::milliseconds kDefaultStateWait{5000};

// Returns once every device of `macs` has a known state: one that a refresh
// set (idle, casting, upgrading, standby, unknown), or offline after a
// refresh found it unreachable, seen as a non-zero offline duration. With
// `run_times`, online devices also wait for the second refresh, which
// records their run time. Devices that are still not known when `limit` has
// passed stay offline.
void SettleStates(const std::vector<std::string> &macs, std::chrono::milliseconds limit, bool run_times);

// Upper-case form of a MAC text, for comparisons (the library compares MACs
// without regard to letter case).
std::string MacKey(const std::string &mac);
// "a, b, c" for a message.
std::string MacListText(const std::vector<std::string> &macs);

} // namespace talvoctl
