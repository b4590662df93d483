// The device list as an operator reads it: the desktop program's columns
// (group, alias, SSID, model, address, MAC, version, state, run time,
// online/offline time, reboots), or the identity columns alone for receivers
// that are not managed yet.
#pragma once

#include <korvel.h>

#include "common/table.h"

namespace talvoctl {

enum class DeviceColumns { Identity, Full };

Table DeviceTable(DeviceColumns columns);
// Adds the device's row; Full rows read its stored state from the library.
void AddDeviceRow(Table &table, const DeviceInfo &info, DeviceColumns columns);

} // namespace talvoctl
