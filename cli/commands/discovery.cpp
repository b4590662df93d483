// Finding receivers and taking them under management: search, adopt, add by
// address, delete.
#include <arpa/inet.h>

#include <korvel.h>

#include <set>
#include <thread>

#include "common/command.h"
#include "common/device_states.h"
#include "common/device_table.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/library_lists.h"
#include "common/targets.h"

namespace talvoctl {
namespace {

constexpr auto kSearchGap = std::chrono::milliseconds(500);

std::chrono::milliseconds ListenOption(const Context &context) {
    std::optional<std::string> text = context.args.Value("listen");
    if (!text) return kSearchGap;
    try {
        std::size_t used = 0;
        long ms = std::stol(*text, &used);
        if (used == text->size() && ms >= 0 && ms <= 60000) return std::chrono::milliseconds(ms);
    } catch (const std::exception &) {
    }
    throw UsageFailure("--listen takes milliseconds from 0 to 60000");
}

// As the desktop program searches: a fresh list, two requests 500 ms apart,
// then a pause for the answers. Returns what answered.
std::vector<DeviceInfo> Search(const Context &context) {
    ZR_QM_ClearSearchDeviceList();
    int first = ZR_QM_SearchDevice();
    std::this_thread::sleep_for(kSearchGap);
    int second = ZR_QM_SearchDevice();
    if (first != 0 && second != 0) {
        throw Failure(-1, "search", "the search request could not be sent to 224.0.1.2:50000", kExitFailed);
    }
    std::this_thread::sleep_for(ListenOption(context));
    return SearchedDevices();
}

const OptionDef kListenOption{"listen", 'l', "MS", "how long to wait for answers after the second request (500)"};

void RunSearch(Context &context) {
    context.args.Exactly(0, 0, "search");
    Table table = DeviceTable(DeviceColumns::Identity);
    for (const DeviceInfo &info : Search(context)) AddDeviceRow(table, info, DeviceColumns::Identity);
    context.out.Show(table);
    if (table.Empty()) context.out.Note("no receiver answered that is not managed already");
}

void RunAdopt(Context &context) {
    std::vector<std::string> macs = context.args.AtLeast(0, 0, "adopt MAC... | --all-found");
    bool all = context.args.Has("all-found");
    if (all == !macs.empty()) throw UsageFailure("name the receivers to adopt by MAC, or give --all-found");
    std::vector<DeviceInfo> found = Search(context);
    std::vector<std::string> chosen, missing;
    std::set<std::string> answered;
    for (const DeviceInfo &info : found) answered.insert(MacKey(info.Wired_MacAddr));
    if (all) {
        for (const DeviceInfo &info : found) chosen.emplace_back(info.Wired_MacAddr);
    }
    for (const std::string &mac : macs) {
        if (answered.count(MacKey(mac)) > 0) {
            chosen.push_back(mac);
        } else if (FindDevice(mac)) {
            context.out.Note(mac + " is managed already");
        } else {
            missing.push_back(mac);
        }
    }
    if (!chosen.empty()) {
        MacSlots slots(chosen);
        Check(ZR_QM_AddSearchDevicesToDeviceList(slots.Data(), slots.Count()), "adopt");
    }
    Table table = DeviceTable(DeviceColumns::Identity);
    for (const std::string &mac : chosen) {
        if (std::optional<DeviceInfo> info = FindDevice(mac)) AddDeviceRow(table, *info, DeviceColumns::Identity);
    }
    context.out.Show(table);
    if (!missing.empty()) {
        throw Refusal(ZR_QM_ERR_DEV_NOT_FOUND, "no receiver answered the search as " + MacListText(missing))
            .MarkInDocument();
    }
    if (all && table.Empty()) context.out.Note("no receiver answered that is not managed already");
}

void RunAdd(Context &context) {
    std::string address = context.args.Exactly(0, 1, "add IP")[0];
    in_addr parsed{};
    if (address.size() >= sizeof(DeviceInfo::Wired_IpAddr) || inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        throw ParameterFailure("\"" + address + "\" is no dotted IPv4 address");
    }
    DeviceInfo info{};
    Check(ZR_QM_AddDevice(address.c_str(), "", "", &info), "add " + address);
    Table table = DeviceTable(DeviceColumns::Identity);
    AddDeviceRow(table, info, DeviceColumns::Identity);
    context.out.Show(table);
}

void RunDelete(Context &context) {
    std::vector<std::string> macs = context.args.AtLeast(0, 1, "delete MAC...");
    std::vector<DeviceInfo> devices = SelectDevices(context, macs); // every MAC must be managed
    Table table({{"mac", "MAC"}, {"deleted", "DELETED"}});
    for (const DeviceInfo &info : devices) {
        Check(ZR_QM_DelDevice(info.Wired_MacAddr), std::string("delete ") + info.Wired_MacAddr);
        table.Add({FieldToUtf8(info.Wired_MacAddr), Value(true)});
    }
    context.out.Show(table);
}

} // namespace

std::vector<Command> DiscoveryCommands() {
    return {
        {"search", "", "search the network for receivers that are not managed yet", {kListenOption},
         Right::Administrator, RunSearch},
        {"adopt", "MAC... | --all-found", "search, then manage the receivers named (or all that answered)",
         {kListenOption, {"all-found", 0, "", "adopt every receiver that answered"}}, Right::Administrator,
         RunAdopt},
        {"add", "IP", "manage the receiver at this IPv4 address (asked over HTTP, no search)", {},
         Right::Administrator, RunAdd},
        {"delete", "MAC...", "stop managing these devices", {}, Right::Administrator, RunDelete},
    };
}

} // namespace talvoctl
