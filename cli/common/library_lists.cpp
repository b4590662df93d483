#include "common/library_lists.h"

#include <cstdlib>
#include <cstring>

#include "common/encoding.h"
#include "common/failure.h"

namespace talvoctl {

const char *const kDefaultGroup = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9"; // 默认分组

namespace {

// Copies the `count` records of a list export's array and frees it.
template <class Record, class Call>
std::vector<Record> TakeList(Call call, const std::string &what) {
    Record *array = nullptr;
    int count = Check(call(&array), what);
    std::vector<Record> records;
    if (count > 0 && array != nullptr) records.assign(array, array + count);
    std::free(array);
    return records;
}

} // namespace

std::vector<DeviceInfo> ManagedDevices() {
    return TakeList<DeviceInfo>([](DeviceInfo **out) { return ZR_QM_GetDeviceList(out); }, "list the devices");
}

std::vector<DeviceInfo> SearchedDevices() {
    return TakeList<DeviceInfo>([](DeviceInfo **out) { return ZR_QM_GetSearchDeviceList(out); },
                                "list the search results");
}

std::vector<DeviceInfo> GroupDevices(const std::string &group) {
    return TakeList<DeviceInfo>([&](DeviceInfo **out) { return ZR_QM_GetGroupDevList(group.c_str(), out); },
                                "list the group's devices");
}

std::vector<std::string> GroupNames() {
    ZR_QM_GroupName *slots = nullptr;
    int count = Check(ZR_QM_GetGroupList(&slots), "list the groups");
    std::vector<std::string> names;
    for (int i = 0; i < count && slots != nullptr; ++i) {
        names.push_back(FieldBytes(slots[i]));
    }
    std::free(slots);
    return names;
}

std::vector<UserAccount> Accounts() {
    return TakeList<UserAccount>([](UserAccount **out) { return ZR_QM_GetAllUserAccountInfo(out); },
                                 "list the accounts");
}

std::vector<std::string> MacsOf(const std::vector<DeviceInfo> &devices) {
    std::vector<std::string> macs;
    for (const DeviceInfo &info : devices) macs.emplace_back(info.Wired_MacAddr);
    return macs;
}

MacSlots::MacSlots(const std::vector<std::string> &macs)
    : slots_(std::make_unique<ZR_QM_MacText[]>(macs.size() + 1)), count_(static_cast<unsigned>(macs.size())) {
    for (std::size_t i = 0; i < macs.size(); ++i) {
        if (macs[i].size() >= sizeof(ZR_QM_MacText)) throw ParameterFailure("\"" + macs[i] + "\" is no MAC address");
        std::memcpy(slots_[i], macs[i].data(), macs[i].size());
    }
}

std::optional<DeviceInfo> FindDevice(const std::string &mac) {
    DeviceInfo info{};
    if (ZR_QM_GetDeviceInfo(mac.c_str(), &info) != 0) return std::nullopt;
    return info;
}

} // namespace talvoctl
