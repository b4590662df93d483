#include "core/device_mgr.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/log.h"
#include "core/text.h"
#include "device/models.h"

#define KORVEL_LOG_UNIT "DeviceMgr"

namespace korvel {

DeviceMgr::~DeviceMgr() { Clear(); }

std::string DeviceMgr::Key(const char *mac) {
    std::string key = mac == nullptr ? std::string() : std::string(mac);
    for (char &c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

DeviceMgr::DevicePtr DeviceMgr::FindLocked(const char *mac) const {
    auto found = by_mac_.find(Key(mac));
    return found == by_mac_.end() ? nullptr : found->second;
}

DeviceMgr::DevicePtr DeviceMgr::Find(const char *mac) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return FindLocked(mac);
}

std::vector<DeviceMgr::DevicePtr> DeviceMgr::Devices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devices_;
}

size_t DeviceMgr::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devices_.size();
}

int DeviceMgr::Snapshot(const char *mac, DeviceInfo &info) const {
    DevicePtr device = Find(mac);
    if (device == nullptr) return ZR_QM_ERR_DEV_NOT_FOUND;
    info = DeviceInfo{};
    device->FillInfo(info);
    return 0;
}

std::vector<DeviceInfo> DeviceMgr::Snapshots() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<DeviceInfo> records(devices_.size());
    for (size_t i = 0; i < devices_.size(); ++i) devices_[i]->FillInfo(records[i]);
    return records;
}

int DeviceMgr::ListSnapshots(DeviceInfo **out, const SnapshotFilter &keep) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (devices_.empty()) return 0;
    auto *records = static_cast<DeviceInfo *>(std::calloc(devices_.size(), sizeof(DeviceInfo)));
    if (records == nullptr) {
        KLOG("[%s]:[%d] malloc failed");
        return ZR_QM_ERR_NO_MEMORY;
    }
    size_t count = 0;
    for (const DevicePtr &device : devices_) {
        device->FillInfo(records[count]);
        if (!keep || keep(records[count])) {
            ++count;
        } else {
            records[count] = DeviceInfo{};
        }
    }
    if (count == 0) {
        std::free(records);
        return 0;
    }
    *out = records;
    return static_cast<int>(count);
}

int DeviceMgr::Admit(DeviceInfo &record) {
    std::lock_guard<std::mutex> lock(mutex_);
    char mac[sizeof record.Wired_MacAddr];
    CopyText(mac, record.Wired_MacAddr);
    if (FindLocked(mac) != nullptr) return ZR_QM_ERR_DEV_EXISTS;
    uint32_t model = ModelIndex(record.Device_Type);
    if (model == kUnknownModel) {
        KLOG("[%s]:[%d] unknow device type!\n");
        return ZR_QM_ERR_DEV_TYPE;
    }
    DevicePtr device;
    try {
        device = std::make_shared<Device>(model, record, operate_.user, operate_.password_md5);
    } catch (const std::bad_alloc &) {
        KLOG("[%s]:[%d] new device failed.\n");
        return -1;
    }
    if (record.Device_Group[0] == '\0') CopyText(record.Device_Group, kDefaultGroupName);
    int updated = device->UpdateFromInfo(record);
    if (updated < 0) {
        KLOG("[%s]:[%d] UpdateInfo failed.\n");
        return updated;
    }
    try {
        by_mac_.emplace(Key(mac), device);
        devices_.push_back(device);
    } catch (const std::bad_alloc &) {
        by_mac_.erase(Key(mac));
        KLOG("[%s]:[%d] new device failed.\n");
        return -1;
    }
    return 0;
}

int DeviceMgr::UpdateByMac(const char *mac, const DeviceInfo &record) {
    std::lock_guard<std::mutex> lock(mutex_);
    DevicePtr target = FindLocked(mac);
    if (target == nullptr) {
        KLOG("[%s]:[%d] get device failed.\n");
        return ZR_QM_ERR_DEV_NOT_FOUND;
    }
    // The target itself stays out of the hand-over: resetting it and giving
    // the address back would count as a change on every announcement.
    int result = target->UpdateFromInfo(record);
    if (result < 0) {
        KLOG("[%s]:[%d] update device infomation failed.\n");
        return result;
    }
    if (record.Wired_IpAddr[0] == '\0') return result;
    char address[sizeof record.Wired_IpAddr];
    CopyText(address, record.Wired_IpAddr);
    for (const DevicePtr &device : devices_) {
        if (device == target || !EqualsIgnoreCase(device->Address().c_str(), address)) continue;
        device->SetAddress("0.0.0.0");
        result = 1;
    }
    return result;
}

int DeviceMgr::Remove(const char *mac) {
    DevicePtr removed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (devices_.empty()) return 0;
        auto found = by_mac_.find(Key(mac));
        if (found == by_mac_.end()) return ZR_QM_ERR_DEV_NOT_FOUND;
        removed = found->second;
        by_mac_.erase(found);
        std::erase(devices_, removed);
    }
    removed->WaitForRefresh();
    return 0;
}

std::vector<DeviceMgr::DevicePtr> DeviceMgr::TakeAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<DevicePtr> taken;
    taken.swap(devices_);
    by_mac_.clear();
    return taken;
}

void DeviceMgr::Clear() {
    std::vector<DevicePtr> taken = TakeAll();
    for (const DevicePtr &device : taken) device->WaitForRefresh();
}

int DeviceMgr::AdoptFrom(const DeviceMgr &search, const ZR_QM_MacText *macs, unsigned int count) {
    int admitted = 0;
    for (unsigned int i = 0; i < count; ++i) {
        char mac[sizeof(ZR_QM_MacText)];
        CopyText(mac, macs[i]);
        DeviceInfo record{};
        if (search.Snapshot(mac, record) != 0) {
            KLOG("[%s]:[%d] get device information failed.");
            continue;
        }
        if (Admit(record) < 0) {
            KLOG("[%s]:[%d] add device failed.");
            continue;
        }
        ++admitted;
    }
    return admitted;
}

OperateCredentials DeviceMgr::Operate() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return operate_;
}

void DeviceMgr::SetOperate(const char *user, const char *password_md5) {
    std::lock_guard<std::mutex> lock(mutex_);
    CopyText(operate_.user, user);
    CopyText(operate_.password_md5, password_md5);
}

int DeviceMgr::ReplaceOperatePassword(const char *user, const char *current_md5, const char *new_md5) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Equals(user, operate_.user)) return -1;
    if (!EqualsIgnoreCase(current_md5, operate_.password_md5)) return ZR_QM_ERR_PASSWORD;
    CopyText(operate_.password_md5, new_md5);
    return 0;
}

} // namespace korvel
