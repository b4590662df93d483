#include "showcase_fleet.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include "common/cp936.h"
#include "korvel.h"

namespace talvo::screenshots {
namespace {

constexpr int kReceivers = 30;
constexpr int kUnreachable = 2;

// Group of the receiver at `index`, with an alias an operator would give it.
struct Placement {
    const char *group;
    QString alias;
};

Placement PlacementOf(int index) {
    static const char *kRooms[] = {"一楼大会议室", "一楼小会议室", "二楼大会议室", "二楼小会议室", "董事会议室",
                                   "接待室",       "三楼会议室A",  "三楼会议室B",  "四楼会议室",   "贵宾室"};
    if (index < 10) return {"会议室", QString::fromUtf8(kRooms[index])};
    if (index < 18) return {"培训中心", QStringLiteral("培训室%1").arg(index - 9)};
    if (index < 22) return {"展厅", QStringLiteral("展厅大屏%1").arg(index - 17)};
    return {"默认分组", QString()};
}

std::string Cp936(const char *utf8) { return ToCp936(QString::fromUtf8(utf8)).toStdString(); }

struct SimulatedState {
    const char *reported;
    int library_state;
};

SimulatedState StateOf(int index) {
    switch (index % 7) {
    case 1:
    case 4: return {"share", ZR_QM_STATE_SHARE};
    case 5: return {"standby", ZR_QM_STATE_STANDBY};
    default: return {"idle", ZR_QM_STATE_IDLE};
    }
}

// A pin code asked of the senders and the picture sent on to other screens,
// so that those pages show more than their switches.
void ShowCastingSettings(talvo_sim::ReceiverConfig &r) {
    r.settings[talvo_sim::kPinCode] = {{"use_input_code", "true"}, {"input_code", "2580"}};
    r.settings[talvo_sim::kMultiMode] = {{"multi_display_enable", "true"},
                                         {"multi_display_mode", "out"},
                                         {"multi_display_type", "multicast"},
                                         {"multi_display_audio", "true"},
                                         {"multi_display_multi_ip", "239.1.1.8"}};
}

void Check(int result, const char *what) {
    if (result < 0) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
}

} // namespace

void ShowcaseFleet::Start() {
    talvo_sim::FleetOptions options;
    options.announce_on_add = false;
    fleet_ = std::make_unique<talvo_sim::Fleet>(options);
    fleet_->Start();
    AddReceivers();
    AddUnreachableDevices();
    AddUnmanagedReceivers();
    ArrangeGroups();
    WaitForStates();
}

void ShowcaseFleet::AddReceivers() {
    std::vector<talvo_sim::ReceiverConfig> receivers = talvo_sim::GenerateFleet(kReceivers, "mixed", "127.3.0.1");
    for (int i = 0; i < kReceivers; ++i) {
        talvo_sim::ReceiverConfig &r = receivers[i];
        const SimulatedState state = StateOf(i);
        r.state = state.reported;
        r.run_time = 3600u * (i % 9) + 97u * i;
        r.settings[talvo_sim::kNetSettings]["wifi_ssid"] = "TALVO-" + r.mac.substr(12, 2) + r.mac.substr(15, 2);
        if (r.model == "TALVO_SX") ShowCastingSettings(r);
        if (r.state == "share")
            r.host_members = {{"192.168.49.20", "windows", "laptop-" + std::to_string(i), "true", "true", 1}};
        fleet_->Add(r);
        DeviceInfo info{};
        Check(ZR_QM_AddDevice(r.address.c_str(), nullptr, nullptr, &info), "ZR_QM_AddDevice");
        devices_.push_back({r.mac, r.model, state.library_state});
    }
}

// Receivers that were managed once and are switched off now.
void ShowcaseFleet::AddUnreachableDevices() {
    for (int i = 0; i < kUnreachable; ++i) {
        talvo_sim::ReceiverConfig r;
        r.model = i == 0 ? "TALVO_SX" : "TALVO_HX";
        r.mac = "02:54:56:00:EE:0" + std::to_string(i + 1);
        r.address = "127.3.1." + std::to_string(i + 1);
        fleet_->Add(r);
        DeviceInfo info{};
        Check(ZR_QM_AddDevice(r.address.c_str(), nullptr, nullptr, &info), "ZR_QM_AddDevice");
        fleet_->TakeOffline(r.mac);
        devices_.push_back({r.mac, r.model, ZR_QM_STATE_OFFLINE});
    }
}

// Receivers new on the network, for the search window to find.
void ShowcaseFleet::AddUnmanagedReceivers() {
    std::vector<talvo_sim::ReceiverConfig> receivers = talvo_sim::GenerateFleet(6, "mixed", "127.3.2.1");
    for (talvo_sim::ReceiverConfig &r : receivers) {
        r.mac.replace(9, 2, "A0");
        fleet_->Add(r);
    }
}

void ShowcaseFleet::ArrangeGroups() {
    for (const char *group : {"默认分组", "会议室", "培训中心", "展厅"}) Check(ZR_QM_AddDevGroup(Cp936(group).c_str()), "ZR_QM_AddDevGroup");
    for (int i = 0; i < kReceivers; ++i) {
        const Placement place = PlacementOf(i);
        Check(ZR_QM_MoveDevToNewGroup(devices_[i].mac.c_str(), Cp936(place.group).c_str()), "ZR_QM_MoveDevToNewGroup");
        if (!place.alias.isEmpty())
            Check(ZR_QM_SaveDevAlias(devices_[i].mac.c_str(), ToCp936(place.alias).constData()), "ZR_QM_SaveDevAlias");
    }
}

// Refresh rounds until the online receivers read as online and the switched
// off ones have been missed often enough to read as offline.
void ShowcaseFleet::WaitForStates() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        ZR_QM_UpdateAllDeviceState();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        int known = 0;
        for (const ShowcaseDevice &device : devices_) {
            int state = -1;
            if (ZR_QM_GetDeviceState(device.mac.c_str(), &state) == 0 && state == device.expected_state) ++known;
        }
        if (known == static_cast<int>(devices_.size())) return;
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "talvo-screenshots: only %d of %zu states known\n", known, devices_.size());
            return;
        }
    }
}

std::string ShowcaseFleet::MacOf(const std::string &model) const {
    for (const ShowcaseDevice &device : devices_)
        if (device.model == model) return device.mac;
    throw std::out_of_range("no receiver of model " + model);
}

} // namespace talvo::screenshots
