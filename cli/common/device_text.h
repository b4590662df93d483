// How a device's state and counters read for an operator.
#pragma once

#include <cstdint>
#include <string>

namespace talvoctl {

// The library's text of a state ("运行", "投屏", "升级", "待机", "掉线"), in UTF-8.
std::string StateText(int state);
// An English name for scripts: idle, casting, upgrading, standby, offline, unknown.
std::string StateName(int state);
// Idle, casting or upgrading: what the single-device operations accept.
bool IsOnline(int state);
// The state the last refresh stored for a managed device; unknown (5) when
// the library does not know the MAC.
int StoredState(const std::string &mac);

// The desktop program's duration: "%02d:%02d:%02d" below one day,
// "%d天%02d:%02d:%02d" from one day on.
std::string FormatDuration(std::uint32_t seconds);

} // namespace talvoctl
