#include "core/group_ops.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/log.h"
#include "core/text.h"

#define KORVEL_LOG_UNIT "DeviceMgr"

namespace korvel {
namespace {

// Sets the group field of every device in group `from` to `to`; a refusal
// leaves that device where it was. True when a device moved.
bool MoveDevicesOfGroup(DeviceMgr &registry, const char *from, const char *to) {
    bool moved = false;
    for (const DeviceMgr::DevicePtr &device : registry.Devices()) {
        if (device->Group() != from) continue;
        int result = device->SetGroup(to);
        if (result < 0) {
            KLOG("[%s]:[%d] SetDeviceGroupName failed.\n");
            continue;
        }
        moved |= result == 1;
    }
    return moved;
}

} // namespace

int AddGroup(Manager &manager, const char *name) {
    int result = manager.Groups().Add(name);
    if (result != 0) {
        KLOG("[%s]:[%d] add new device group failed.");
        return result;
    }
    manager.Store().SaveGroups();
    return 0;
}

int DeleteGroup(Manager &manager, const char *name) {
    if (manager.Groups().Contains(name)) {
        bool moved = MoveDevicesOfGroup(manager.Managed(), name, kDefaultGroupName);
        manager.Groups().Remove(name);
        if (moved) manager.Store().SaveDevices();
    }
    manager.Store().SaveGroups();
    return 0;
}

int RenameGroup(Manager &manager, const char *current, const char *name) {
    if (Equals(current, name)) return 0;
    int result = manager.Groups().Rename(current, name);
    if (result != 0) return result;
    if (MoveDevicesOfGroup(manager.Managed(), current, name)) manager.Store().SaveDevices();
    manager.Store().SaveGroups();
    return 0;
}

int MoveDeviceToGroup(Manager &manager, const char *mac, const char *group) {
    int result = ZR_QM_ERR_GROUP;
    if (manager.Groups().Contains(group)) {
        DeviceMgr::DevicePtr device = manager.Managed().Find(mac);
        if (device == nullptr) {
            KLOG("[%s]:[%d] get device failed.\n");
            result = ZR_QM_ERR_DEV_NOT_FOUND;
        } else {
            result = device->SetGroup(group);
        }
    }
    if (result < 0) {
        KLOG("[%s]:[%d] MoveDevGroup failed.");
        return result;
    }
    if (result == 1) manager.Store().SaveDevices();
    return result;
}

int SaveAlias(Manager &manager, const char *mac, const char *alias) {
    DeviceMgr::DevicePtr device = manager.Managed().Find(mac);
    if (device == nullptr) {
        KLOG("[%s]:[%d] SaveDevAlias() get device by mac address failed");
        return ZR_QM_ERR_DEV_NOT_FOUND;
    }
    char fitted[sizeof DeviceInfo{}.Device_Alias] = {0};
    std::memcpy(fitted, alias, Cp936PrefixLength(alias, sizeof fitted - 1));
    if (device->SetAlias(fitted) == 1) manager.Store().SaveDevices();
    return 0;
}

int ListGroups(Manager &manager, ZR_QM_GroupName **out) {
    std::vector<std::string> names = manager.Groups().Names();
    if (names.empty()) return 0;
    auto *slots = static_cast<ZR_QM_GroupName *>(std::calloc(names.size(), sizeof(ZR_QM_GroupName)));
    if (slots == nullptr) {
        KLOG("[%s]:[%d] malloc failed.\n");
        return 0;
    }
    for (size_t i = 0; i < names.size(); ++i) CopyText(slots[i], names[i].c_str());
    *out = slots;
    return static_cast<int>(names.size());
}

int ListGroupDevices(Manager &manager, const char *name, DeviceInfo **out) {
    return manager.Managed().ListSnapshots(out, [name](const DeviceInfo &info) { return Equals(info.Device_Group, name); });
}

} // namespace korvel
