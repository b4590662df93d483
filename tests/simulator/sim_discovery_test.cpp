// Discovery over 224.0.1.2:50000, seen from a UDP socket like the library's.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>

#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

// A socket bound to port 50000 with address reuse, joined to the group.
class GroupSocket {
public:
    GroupSocket() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(50000);
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr *>(&any), sizeof any), 0);
        ip_mreq membership{};
        inet_pton(AF_INET, "224.0.1.2", &membership.imr_multiaddr);
        EXPECT_EQ(setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership), 0);
    }
    ~GroupSocket() { close(fd_); }

    void Send(const std::string &text) {
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_port = htons(50000);
        inet_pton(AF_INET, "224.0.1.2", &group.sin_addr);
        sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&group), sizeof group);
    }

    // Messages named `name`, by MAC, until `count` distinct MACs or the deadline.
    std::map<std::string, Json> Collect(const std::string &name, std::size_t count, int wait_ms = 10000) {
        std::map<std::string, Json> found;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        while (found.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            char buffer[2048];
            ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) continue;
            std::string text(buffer, static_cast<std::size_t>(n));
            Json message = Parse(text);
            if (!message) {
                broken.push_back(text);
                continue;
            }
            if (Member(message.get(), "MsgName") == name) {
                found[Member(message.get(), "Wired_MacAddr")] = std::move(message);
            }
        }
        return found;
    }

    std::vector<std::string> broken;

private:
    int fd_ = -1;
};

std::string Request(const std::string &name, const std::string &odm = "TALVO") {
    return "{\"MsgName\":\"" + name + "\",\"Device_Type\":\"DeviceManagerSoftware\",\"Odm_Name\":\"" + odm +
           "\",\"Product_Id\":\"KARVEN\"}";
}

class DiscoveryTest : public FleetTest {
protected:
    void SetUp() override {
        FleetTest::SetUp();
        for (int i = 2; i <= 3; ++i) {
            talvo_sim::ReceiverConfig receiver;
            receiver.mac = "02:54:56:00:00:0" + std::to_string(i);
            receiver.address = "127.0.10." + std::to_string(i);
            receiver.model = talvo_sim::ModelNames()[static_cast<std::size_t>(i)];
            fleet.Add(receiver);
        }
    }
    GroupSocket group;
};

TEST_F(DiscoveryTest, EveryReceiverAnswersASearchToTheGroup) {
    group.Send(Request("SearchDevice"));
    auto answers = group.Collect("SearchDeviceAck", 3);
    ASSERT_EQ(answers.size(), 3u);
    const cJSON *first = answers.at(kMac).get();
    EXPECT_EQ(Member(first, "Device_Type"), "TALVO_JX");
    EXPECT_EQ(Member(first, "Odm_Name"), "TALVO");
    EXPECT_EQ(Member(first, "Product_Id"), "KARVEN");
    EXPECT_EQ(Member(first, "Wifi_SSID"), "TALVO-0001");
    EXPECT_EQ(Member(first, "Wired_IpAddr"), kAddress);
    EXPECT_EQ(Member(first, "Device_Ver"), "TALVO_JX-V2.1.0");
    EXPECT_GE(std::stoi(Member(first, "RunTime")), 5000);
    EXPECT_EQ(Member(answers.at("02:54:56:00:00:03").get(), "Device_Type"), "TALVO_NX");

    bool logged = false;
    for (const auto &datagram : fleet.Datagrams()) logged |= datagram.text == Request("SearchDevice");
    EXPECT_TRUE(logged);
}

TEST_F(DiscoveryTest, UpdateDeviceInfoIsAnsweredWithItsAck) {
    group.Send(Request("UpdateDeviceInfo"));
    EXPECT_EQ(group.Collect("UpdateDeviceInfoAck", 3).size(), 3u);
}

TEST_F(DiscoveryTest, ForeignRequestsAndAbsentReceiversGetNoAnswer) {
    fleet.TakeOffline("02:54:56:00:00:02");
    group.Send(Request("SearchDevice", "talvo"));
    group.Send(Request("searchdevice"));
    group.Send(Request("SearchDevice"));
    auto answers = group.Collect("SearchDeviceAck", 3, 3000);
    EXPECT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers.count("02:54:56:00:00:02"), 0u);
}

TEST_F(DiscoveryTest, FaultsSilenceSpoilOrRenameAnAnswer) {
    fleet.InjectFault(kMac, "SearchDevice", Fault{FaultType::Silence});
    fleet.InjectFault("02:54:56:00:00:02", "SearchDevice", Fault{FaultType::ForeignMac, 0, "02:AA:00:00:00:02"});
    fleet.InjectFault("02:54:56:00:00:03", "SearchDevice", Fault{FaultType::BrokenBody});
    group.Send(Request("SearchDevice"));
    auto answers = group.Collect("SearchDeviceAck", 2, 3000);
    EXPECT_EQ(answers.count(kMac), 0u);
    EXPECT_EQ(answers.count("02:AA:00:00:00:02"), 1u);
    EXPECT_TRUE(Eventually([&] {
        group.Collect("none", 1, 100);
        return !group.broken.empty();
    }));
}

TEST_F(DiscoveryTest, ReceiversAnnounceThemselvesWhenTheyComeBack) {
    fleet.TakeOffline(kMac);
    fleet.BringBack(kMac);
    auto online = group.Collect("DeviceOnline", 1);
    ASSERT_EQ(online.count(kMac), 1u);

    fleet.Reboot("02:54:56:00:00:02");
    online = group.Collect("DeviceOnline", 1);
    ASSERT_EQ(online.count("02:54:56:00:00:02"), 1u);
    EXPECT_LT(std::stoi(Member(online.at("02:54:56:00:00:02").get(), "RunTime")), 100);
}

} // namespace
} // namespace sim_test
