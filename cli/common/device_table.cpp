#include "common/device_table.h"

#include "common/device_text.h"
#include "common/encoding.h"

namespace talvoctl {

Table DeviceTable(DeviceColumns columns) {
    if (columns == DeviceColumns::Identity) {
        return Table({{"ssid", "SSID"}, {"model", "MODEL"}, {"address", "ADDRESS"}, {"mac", "MAC"},
                      {"version", "VERSION"}});
    }
    return Table({{"group", "GROUP"}, {"alias", "ALIAS"}, {"ssid", "SSID"}, {"model", "MODEL"},
                  {"address", "ADDRESS"}, {"mac", "MAC"}, {"version", "VERSION"}, {"state", "STATE"},
                  {"state_name", ""}, {"state_code", ""}, {"run_time", "RUN TIME"}, {"run_seconds", ""},
                  {"state_time", "ONLINE/OFFLINE"}, {"state_seconds", ""}, {"reboots", "REBOOTS"}});
}

void AddDeviceRow(Table &table, const DeviceInfo &info, DeviceColumns columns) {
    std::string ssid = FieldToUtf8(info.Wifi_SSID), model = FieldToUtf8(info.Device_Type),
                address = FieldToUtf8(info.Wired_IpAddr), mac = FieldToUtf8(info.Wired_MacAddr),
                version = FieldToUtf8(info.Device_Ver);
    if (columns == DeviceColumns::Identity) {
        table.Add({ssid, model, address, mac, version});
        return;
    }
    int state = StoredState(info.Wired_MacAddr);
    table.Add({FieldToUtf8(info.Device_Group), FieldToUtf8(info.Device_Alias), ssid, model, address, mac, version,
               StateText(state), StateName(state), Value(state), FormatDuration(info.RunTime), Value(info.RunTime),
               FormatDuration(info.StateDuration), Value(info.StateDuration), Value(info.RebootCount)});
}

} // namespace talvoctl
