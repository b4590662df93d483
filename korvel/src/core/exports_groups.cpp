// Exports of the device groups and aliases.
#include "core/api_frame.h"
#include "core/export_args.h"
#include "core/group_ops.h"

#define KORVEL_LOG_UNIT "TALVOMgr"

using korvel::Manager;

int ZR_QM_SaveDevAlias(const char *mac, const char *alias) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, alias)) return KORVEL_PARAM_ERROR();
        return korvel::SaveAlias(manager, mac, alias);
    });
}

int ZR_QM_AddDevGroup(const char *name) {
    return korvel::WithManager([&](Manager &manager) {
        if (name == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::AddGroup(manager, name);
    });
}

int ZR_QM_DelDevGroup(const char *name) {
    return korvel::WithManager([&](Manager &manager) {
        if (name == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::DeleteGroup(manager, name);
    });
}

int ZR_QM_ChangeGroupName(const char *current, const char *name) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(current, name)) return KORVEL_PARAM_ERROR();
        return korvel::RenameGroup(manager, current, name);
    });
}

int ZR_QM_GetGroupList(ZR_QM_GroupName **names) {
    return korvel::WithManager([&](Manager &manager) {
        if (names == nullptr) return KORVEL_PARAM_ERROR();
        return korvel::ListGroups(manager, names);
    });
}

int ZR_QM_GetGroupDevList(const char *name, DeviceInfo **devices) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(name, devices)) return KORVEL_PARAM_ERROR();
        return korvel::ListGroupDevices(manager, name, devices);
    });
}

int ZR_QM_MoveDevToNewGroup(const char *mac, const char *group) {
    return korvel::WithManager([&](Manager &manager) {
        if (korvel::AnyNull(mac, group)) return KORVEL_PARAM_ERROR();
        return korvel::MoveDeviceToGroup(manager, mac, group);
    });
}
