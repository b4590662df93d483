// A registry of devices. The manager holds two: the managed registry (what the
// operator works with, persisted in the device store, with the device operate
// credentials every admitted device logs in with) and the search registry
// (what discovery found, until the operator adopts some of it).
//
// Threads: every member may be called from any thread. One mutex guards the
// list; it is held only for list work and never while waiting for a refresh,
// doing network work or writing a file. Devices are held by shared_ptr: a
// worker, refresh or discovery handler that holds one keeps the device alive
// while the registry removes it. Work started with Device::StartRefresh must
// not hold a shared_ptr to its own device (the last release would then join
// the refresh thread from itself).
//
// Lock order: registry mutex, then a device's field mutex. Nothing here calls
// back into the caller while the mutex is held.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "device/device.h"
#include "korvel.h"

namespace korvel {

// "默认分组" in code page 936: the group of a device admitted without one, and
// where the devices of a deleted group go.
inline constexpr char kDefaultGroupName[] = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9";

struct OperateCredentials {
    char user[32] = {0};
    char password_md5[33] = {0};
};

class DeviceMgr {
public:
    using DevicePtr = std::shared_ptr<Device>;
    using SnapshotFilter = std::function<bool(const DeviceInfo &)>;

    DeviceMgr() = default;
    ~DeviceMgr(); // Clear()
    DeviceMgr(const DeviceMgr &) = delete;
    DeviceMgr &operator=(const DeviceMgr &) = delete;

    // ---- lookup ----
    // The device whose MAC equals `mac` without regard to letter case, or null.
    DevicePtr Find(const char *mac) const;
    // The devices in list order (admission order), as copies of the pointers.
    std::vector<DevicePtr> Devices() const;
    size_t Count() const;

    // ---- records ----
    // Snapshot of one device into `info` (cleared first): 0, ZR_QM_ERR_DEV_NOT_FOUND.
    int Snapshot(const char *mac, DeviceInfo &info) const;
    // Snapshots of every device in list order.
    std::vector<DeviceInfo> Snapshots() const;
    // Snapshots of the devices `keep` accepts (all without a filter) into a new
    // malloc'd array for the caller to free. Returns their number and sets
    // *out only when it is above 0; ZR_QM_ERR_NO_MEMORY (logged). `keep` runs
    // with the registry locked and must not call back into it.
    int ListSnapshots(DeviceInfo **out, const SnapshotFilter &keep = {}) const;

    // ---- changes ----
    // Admits a record: 0; ZR_QM_ERR_DEV_EXISTS (its MAC is here already),
    // ZR_QM_ERR_DEV_TYPE (unknown model), -1 (no memory) or the update's code.
    // The new device logs in with the operate credentials, never the record's.
    // An empty group in `record` becomes kDefaultGroupName (the record changes).
    int Admit(DeviceInfo &record);
    // Updates the device found by `mac` from `record` (Device::UpdateFromInfo)
    // and hands the record's address over: every other device holding it gets
    // "0.0.0.0". 1 when a device changed, 0 when none did;
    // ZR_QM_ERR_DEV_NOT_FOUND, ZR_QM_ERR_MAC_MISMATCH, ZR_QM_ERR_DEV_TYPE, in
    // which case nothing changed.
    int UpdateByMac(const char *mac, const DeviceInfo &record);
    // Removes the device found by `mac` and waits for its running refresh:
    // 0 (also when the registry is empty); ZR_QM_ERR_DEV_NOT_FOUND.
    int Remove(const char *mac);
    // Empties the registry, waiting for every device's running refresh.
    void Clear();
    // Adopts the devices of `search` named in `macs` (snapshot, then Admit);
    // unknown MACs and refusals are logged and skipped. Returns how many were
    // admitted.
    int AdoptFrom(const DeviceMgr &search, const ZR_QM_MacText *macs, unsigned int count);

    // ---- device operate credentials (managed registry) ----
    OperateCredentials Operate() const;
    void SetOperate(const char *user, const char *password_md5);
    // Replaces the operate password when `user` equals the operate user name
    // (byte for byte) and `current_md5` the stored digest (letter case
    // ignored): 0; -1 for another user; ZR_QM_ERR_PASSWORD.
    int ReplaceOperatePassword(const char *user, const char *current_md5, const char *new_md5);

private:
    static std::string Key(const char *mac);
    DevicePtr FindLocked(const char *mac) const;
    std::vector<DevicePtr> TakeAll();

    mutable std::mutex mutex_;
    std::vector<DevicePtr> devices_;                    // list order
    std::unordered_map<std::string, DevicePtr> by_mac_; // lower-case MAC -> device
    OperateCredentials operate_;
};

} // namespace korvel
