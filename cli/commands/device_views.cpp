// Looking at the managed devices: the list with live states, the counters,
// one device's status.
#include <korvel.h>

#include <cjson/cJSON.h>

#include "common/command.h"
#include "common/device_states.h"
#include "common/device_table.h"
#include "common/device_text.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"
#include "common/record_fields.h"
#include "common/targets.h"

namespace talvoctl {
namespace {

void RunList(Context &context) {
    context.args.Exactly(0, 0, "list [--group NAME]");
    std::optional<std::string> group = context.args.Value("group");
    std::string group_name = group ? GroupArgument(*group) : "";
    auto read = [&] { return group ? GroupDevices(group_name) : ManagedDevices(); };
    SettleStates(MacsOf(read()), context.wait, true);
    Table table = DeviceTable(DeviceColumns::Full);
    for (const DeviceInfo &info : read()) AddDeviceRow(table, info, DeviceColumns::Full);
    context.out.Show(table);
    if (table.Empty() && !context.out.Json()) context.out.Note("no managed device");
}

void RunStats(Context &context) {
    context.args.Exactly(0, 0, "stats");
    std::vector<DeviceInfo> devices = ManagedDevices();
    SettleStates(MacsOf(devices), context.wait, false);
    DeviceStatistics statistics{};
    Check(ZR_QM_GetDevStatistics(&statistics), "stats");
    unsigned total = static_cast<unsigned>(devices.size());
    unsigned counted = statistics.online_num + statistics.share_num + statistics.offline_num;
    Properties properties;
    properties.Add("running", Value(statistics.online_num));
    properties.Add("casting", Value(statistics.share_num));
    properties.Add("offline", Value(statistics.offline_num));
    properties.Add("standby", Value(total > counted ? total - counted : 0u));
    properties.Add("total", Value(total));
    context.out.Show(properties);
}

const std::vector<RecordField> &NetStatusFields() {
    static const std::vector<RecordField> fields = {
        TALVOCTL_FIELD(DeviceNetStatus, wifi_on_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_ssid_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_ipaddr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_ipmask_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_fre_stauts, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_channel_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_signal_strength_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wifi_mac_addr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_use_dhcp_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_ipaddr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_ipmask_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_gateway_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_mac_addr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_pridns_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wired_secdns_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_use_dhcp_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_mac_addr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_ipaddr_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_ipmask_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_gateway_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_pridns_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, wlan1_secdns_status, false),
        TALVOCTL_FIELD(DeviceNetStatus, dev_mac, false),
    };
    return fields;
}

void RunStatus(Context &context) {
    std::string mac = context.args.Exactly(0, 1, "status MAC")[0];
    DeviceInfo info = OnlineDevice(context, mac, true);
    DeviceNetStatus status{};
    Check(ZR_QM_GetDevicStatus(info.Wired_MacAddr, &status), std::string("status ") + info.Wired_MacAddr);
    char version[32] = {};
    Check(ZR_QM_GetDeviceVersion(info.Wired_MacAddr, version), std::string("version of ") + info.Wired_MacAddr);
    Table device = DeviceTable(DeviceColumns::Full);
    AddDeviceRow(device, info, DeviceColumns::Full);
    Properties network = RecordProperties(&status, NetStatusFields());
    network.Add("version", FieldToUtf8(version));
    if (context.out.Json()) {
        cJSON *document = cJSON_CreateObject();
        cJSON *rows = device.Json();
        cJSON_AddItemToObject(document, "device", cJSON_DetachItemFromArray(rows, 0));
        cJSON_Delete(rows);
        cJSON_AddItemToObject(document, "network", network.Json());
        context.out.ShowJson(document);
    } else {
        context.out.Show(device);
        std::fputs("\n", stdout);
        context.out.Show(network);
    }
}

} // namespace

std::vector<Command> DeviceViewCommands() {
    return {
        {"list", "[--group NAME]", "the managed devices with their live states",
         {{"group", 'g', "NAME", "only the devices of this group"}}, Right::Anyone, RunList},
        {"stats", "", "how many devices are running, casting, offline and in standby", {}, Right::Anyone,
         RunStats},
        {"status", "MAC", "one device: its record, network status and firmware version", {}, Right::Anyone,
         RunStatus},
    };
}

} // namespace talvoctl
