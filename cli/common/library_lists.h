// The library's list exports as vectors: each array the library hands out is
// copied and released at once.
#pragma once

#include <korvel.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace talvoctl {

std::vector<DeviceInfo> ManagedDevices();
std::vector<DeviceInfo> SearchedDevices();
// The managed devices of a group (name in CP936).
std::vector<DeviceInfo> GroupDevices(const std::string &group);
// Group names in library order (CP936).
std::vector<std::string> GroupNames();
std::vector<UserAccount> Accounts();

// The managed device with this MAC, or nothing.
std::optional<DeviceInfo> FindDevice(const std::string &mac);

// The MAC texts of the records.
std::vector<std::string> MacsOf(const std::vector<DeviceInfo> &devices);

// A MAC list as the library's batch exports take it: 32-byte slots, zeroed,
// each holding one MAC text (a longer text is refused as a parameter).
class MacSlots {
public:
    explicit MacSlots(const std::vector<std::string> &macs);
    const ZR_QM_MacText *Data() const { return slots_.get(); }
    unsigned Count() const { return count_; }

private:
    std::unique_ptr<ZR_QM_MacText[]> slots_;
    unsigned count_ = 0;
};

// The default group "默认分组" (CP936 bytes).
extern const char *const kDefaultGroup;

} // namespace talvoctl
