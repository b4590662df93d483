// A started library and a simulated fleet in one test network, a socket that
// sends crafted datagrams to the discovery group, and waits for conditions.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "eventually.h"
#include "library_fixture.h"
#include "log_capture.h"
#include "talvo_sim/fleet.h"

namespace discovery_test {

using namespace korvel::testing;

// Members of a crafted message, in order. A value of kOmit removes the
// member; "RunTime" is written as a number.
using Members = std::vector<std::pair<std::string, std::string>>;
inline const std::string kOmit = "\x01omit";

inline std::string JsonText(const Members &members) {
    std::string text = "{";
    for (const auto &[key, value] : members) {
        if (value == kOmit) continue;
        if (text.size() > 1) text += ",";
        text += "\"" + key + "\":" + (key == "RunTime" ? value : "\"" + value + "\"");
    }
    return text + "}";
}

// A receiver's announcement named `name` for `mac`, with `changes` applied.
inline std::string Announcement(const std::string &name, const std::string &mac, const Members &changes = {}) {
    Members members = {{"MsgName", name},          {"Device_Type", "TALVO_JX"},   {"Odm_Name", "TALVO"},
                       {"Product_Id", "KARVEN"},   {"Wifi_SSID", "Room " + mac}, {"Wired_IpAddr", "127.0.20.1"},
                       {"Wired_MacAddr", mac},     {"Device_Ver", "TALVO_JX-V9"}, {"RunTime", "42"}};
    for (const auto &[key, value] : changes) {
        bool replaced = false;
        for (auto &member : members)
            if (member.first == key) member.second = value, replaced = true;
        if (!replaced) members.emplace_back(key, value);
    }
    return JsonText(members);
}

// Sends datagrams to 224.0.1.2:50000 from a socket of its own.
class GroupSender {
public:
    GroupSender() : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {}
    ~GroupSender() { close(fd_); }
    GroupSender(const GroupSender &) = delete;
    GroupSender &operator=(const GroupSender &) = delete;

    void Send(const std::string &text) {
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_port = htons(50000);
        inet_pton(AF_INET, "224.0.1.2", &group.sin_addr);
        ASSERT_EQ(sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group),
                  static_cast<ssize_t>(text.size()));
    }

private:
    int fd_;
};

inline std::vector<std::string> SearchMacs() {
    DeviceInfo *devices = nullptr;
    std::vector<std::string> macs;
    int count = ZR_QM_GetSearchDeviceList(&devices);
    for (const DeviceInfo &info : TakeList(count, devices)) macs.emplace_back(info.Wired_MacAddr);
    return macs;
}

inline bool Contains(const std::vector<std::string> &list, const std::string &item) {
    for (const std::string &entry : list)
        if (entry == item) return true;
    return false;
}

inline DeviceInfo ManagedInfo(const std::string &mac) {
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo(mac.c_str(), &info), 0) << mac;
    return info;
}

inline std::string MacOf(int i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:54:56:00:%02x:%02x", i / 256, i % 256);
    return mac;
}

inline constexpr char kSentinelPrefix[] = "02:54:56:00:ff:";

class DiscoveryTest : public LibraryTest {
protected:
    static talvo_sim::FleetOptions Options() {
        talvo_sim::FleetOptions options;
        options.announce_on_add = false;
        return options;
    }

    void SetUp() override {
        fleet.Start();
        Start();
    }

    // A receiver of the fleet at 127.0.30.<i>.
    talvo_sim::ReceiverConfig AddReceiver(int i, const std::string &model = "TALVO_JX") {
        talvo_sim::ReceiverConfig receiver;
        receiver.mac = MacOf(i);
        receiver.address = "127.0.30." + std::to_string(i);
        receiver.model = model;
        fleet.Add(receiver);
        return receiver;
    }

    // Waits until the fleet has seen `count` datagrams that contain every one
    // of `fragments`. Its own answers come back to it as to the library, so
    // the library's socket holds them by then too.
    void WaitUntilFleetSaw(const std::vector<std::string> &fragments, size_t count) {
        auto seen = [&] {
            size_t n = 0;
            for (const auto &datagram : fleet.Datagrams()) {
                bool all = true;
                for (const std::string &fragment : fragments) all = all && datagram.text.find(fragment) != std::string::npos;
                n += all;
            }
            return n;
        };
        ASSERT_TRUE(Eventually([&] { return seen() >= count; })) << seen() << " of " << count << " " << fragments[0];
    }

    // The search list without the sentinels of Drain().
    static std::vector<std::string> FoundMacs() {
        std::vector<std::string> found;
        for (const std::string &mac : SearchMacs())
            if (mac.rfind(kSentinelPrefix, 0) != 0) found.push_back(mac);
        return found;
    }

    // Sends a search answer of a fresh MAC and waits until it is handled:
    // every datagram that reached the library before it is handled too.
    void Drain() {
        std::string mac = MacOf(0xFF00 + sentinels_++);
        sender.Send(Announcement("SearchDeviceAck", mac));
        ASSERT_TRUE(Eventually([&] { return Contains(SearchMacs(), mac); })) << "sentinel " << mac;
    }

    talvo_sim::Fleet fleet{Options()};
    GroupSender sender;
    int sentinels_ = 0;
};

} // namespace discovery_test
