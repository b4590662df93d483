// Groups and aliases of the managed devices: the group list, each device's
// group and alias fields, and the saves that follow each change (the group
// store after a change of the list, the device store after a change of a
// device). Arguments are checked by the caller (non-null).
#pragma once

#include "core/manager.h"
#include "korvel.h"

namespace korvel {

// Appends a group: 0; ZR_QM_ERR_GROUP (the name exists), ZR_QM_ERR_GROUP_NAME_LONG.
int AddGroup(Manager &manager, const char *name);
// Moves the group's devices to the default group and drops the name: 0, also
// when the name is no group.
int DeleteGroup(Manager &manager, const char *name);
// Renames in place and moves the group's devices along: 0; ZR_QM_ERR_GROUP,
// ZR_QM_ERR_GROUP_NAME_LONG.
int RenameGroup(Manager &manager, const char *current, const char *name);
// Puts a device into a listed group: 1 moved, 0 there already;
// ZR_QM_ERR_GROUP, ZR_QM_ERR_DEV_NOT_FOUND, ZR_QM_ERR_GROUP_NAME_LONG.
int MoveDeviceToGroup(Manager &manager, const char *mac, const char *group);
// Sets a device's alias, cut to 127 bytes at a code page 936 character
// boundary: 0; ZR_QM_ERR_DEV_NOT_FOUND.
int SaveAlias(Manager &manager, const char *mac, const char *alias);

// The group names into a new malloc'd array of 128-byte slots: their number
// (0 when there are none or the array cannot be allocated).
int ListGroups(Manager &manager, ZR_QM_GroupName **out);
// Snapshots of the devices whose group field is `name`: their number, or
// ZR_QM_ERR_NO_MEMORY.
int ListGroupDevices(Manager &manager, const char *name, DeviceInfo **out);

} // namespace korvel
