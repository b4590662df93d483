// Fleet descriptions, generated fleets and the control commands.
#include <set>

#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::GenerateFleet;
using talvo_sim::ParseFleetDescription;

TEST(FleetDescription, ReadsReceiversAndGeneratedOnes) {
    auto fleet = ParseFleetDescription(R"({
        "generate": {"count": 2, "models": "TALVO_SX", "base": "127.3.0.1"},
        "receivers": [{
            "mac": "02:54:56:AA:00:01", "address": "127.3.1.1", "model": "TALVO_TX",
            "version": "TX-1.2", "password": "secret", "state": "share", "run_time": 3600,
            "state_needs_session": true,
            "settings": {"net_settings": {"wifi_ssid": "Hall"}, "video_out": {"rotate_str": "90"}},
            "host_members": [{"conn_ip": "192.168.49.5", "conn_name": "pad", "media_num": 2}]
        }]
    })");
    ASSERT_EQ(fleet.size(), 3u);
    EXPECT_EQ(fleet[0].model, "TALVO_SX");
    EXPECT_EQ(fleet[1].address, "127.3.0.2");
    const auto &r = fleet[2];
    EXPECT_EQ(r.model, "TALVO_TX");
    EXPECT_EQ(r.password_md5, talvo_sim::Md5Hex("secret"));
    EXPECT_EQ(r.state, "share");
    EXPECT_EQ(r.run_time, 3600u);
    EXPECT_TRUE(r.state_needs_session);
    EXPECT_EQ(r.settings.at("net_settings").at("wifi_ssid"), "Hall");
    ASSERT_EQ(r.host_members.size(), 1u);
    EXPECT_EQ(r.host_members[0].media_num, 2);
}

TEST(FleetDescription, BadInputGetsAClearError) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"not json", "not a JSON object"},
        {R"({"receivers": {}})", "'receivers' must be an array"},
        {R"({"receivers": [{"mac": "02:00:00:00:00:01"}]})", "receiver 1: needs 'mac' and 'address'"},
        {R"({"receivers": [{"mac": "m", "address": "127.0.0.2", "model": "TALVO_ZX"}]})", "unknown model"},
        {R"({"receivers": [{"mac": "m", "address": "127.0.0.2", "settings": {"video_out": {"a": 1}}}]})",
         "setting 'a' must be a text"},
        {R"({"receivers": [{"mac": "m", "address": "127.0.0.2", "run_time": -5}]})", "'run_time'"},
        {R"({"generate": {"count": 2, "base": "10.0.0.1"}})", "127.x.y.z"},
        {R"({"generate": {}})", "needs a 'count'"},
    };
    for (const auto &[text, message] : cases) {
        try {
            ParseFleetDescription(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error &error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

TEST(GeneratedFleet, AddressesSkipNetworkAndBroadcastNumbersAndModelsTakeTurns) {
    auto fleet = GenerateFleet(300, "mixed", "127.1.0.250");
    ASSERT_EQ(fleet.size(), 300u);
    std::set<std::string> macs, addresses;
    for (const auto &r : fleet) {
        macs.insert(r.mac);
        addresses.insert(r.address);
        EXPECT_NE(r.address.substr(r.address.rfind('.')), ".0");
        EXPECT_NE(r.address.substr(r.address.rfind('.')), ".255");
    }
    EXPECT_EQ(macs.size(), 300u);
    EXPECT_EQ(addresses.size(), 300u);
    EXPECT_EQ(fleet[5].address, "127.1.1.1");
    EXPECT_EQ(fleet[0].model, "TALVO_HX");
    EXPECT_EQ(fleet[7].model, "TALVO_JX");
    EXPECT_THROW(GenerateFleet(1, "TALVO_QX", "127.1.0.1"), std::invalid_argument);
    EXPECT_THROW(GenerateFleet(2, "mixed", "127.255.255.254"), std::invalid_argument);
}

class ControlTest : public FleetTest {
protected:
    std::string Run(const std::string &line) { return talvo_sim::RunControlCommand(fleet, line); }
};

TEST_F(ControlTest, CommandsChangeTheRunningReceiver) {
    EXPECT_EQ(Run(std::string("state ") + kMac + " share"), "ok");
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "share");
    EXPECT_EQ(Run(std::string("set ") + kMac + " net_settings wifi_ssid Room 2 B"), "ok");
    EXPECT_EQ(fleet.GetSettings(kMac, "net_settings").at("wifi_ssid"), "Room 2 B");
    EXPECT_EQ(Run(std::string("runtime ") + kMac + " 42"), "ok");
    EXPECT_LT(fleet.Snapshot(kMac).run_time, 100u);

    EXPECT_EQ(Run(std::string("fault ") + kMac + " dev_state status 500"), "ok");
    EXPECT_EQ(Read("dev_state", "").status, 500);
    EXPECT_EQ(Run(std::string("fault ") + kMac + " DeviceReboot result Not Allowed"), "ok");
    EXPECT_EQ(Run(std::string("clear ") + kMac), "ok");
    EXPECT_EQ(Read("dev_state", "").status, 200);

    EXPECT_EQ(Run(std::string("offline ") + kMac), "ok");
    EXPECT_EQ(Read("dev_state", "").code, CURLE_COULDNT_CONNECT);
    EXPECT_EQ(Run(std::string("back ") + kMac), "ok");
    EXPECT_NE(Run("list").find(std::string(kMac) + " TALVO_JX 127.0.10.1 online share"), std::string::npos);
    EXPECT_NE(Run(std::string("log ") + kMac + " 1").find("GET /do?action=read&section=dev_state"),
              std::string::npos);
}

TEST_F(ControlTest, BadCommandsAnswerWithAnError) {
    for (const std::string line : {"bogus", "state", "state 02:54:56:00:00:09 idle", "runtime 02:54:56:00:00:01 x",
                                   "fault 02:54:56:00:00:01 dev_state nonsense", "set 02:54:56:00:00:01 video_out"}) {
        EXPECT_EQ(Run(line).rfind("error: ", 0), 0u) << line << " -> " << Run(line);
    }
    EXPECT_EQ(Run(""), "");
    EXPECT_NE(Run("help").find("fault MAC KIND TYPE"), std::string::npos);
}

} // namespace
} // namespace sim_test

namespace sim_test {
namespace {

TEST(LivelyFleet, ReceiversStartAndEndCastsWithSendersComingAndGoing) {
    talvo_sim::FleetOptions options;
    options.activity_interval = std::chrono::milliseconds(20);
    options.announce_on_add = false;
    talvo_sim::Fleet fleet(options);
    fleet.Start();
    talvo_sim::ReceiverConfig receiver;
    receiver.mac = kMac;
    receiver.address = "127.0.12.1";
    fleet.Add(receiver);
    EXPECT_TRUE(Eventually([&] {
        auto s = fleet.Snapshot(kMac);
        return s.config.state == "share" && s.config.host_members.size() == 1;
    }));
    EXPECT_TRUE(Eventually([&] {
        auto s = fleet.Snapshot(kMac);
        return s.config.state == "idle" && s.config.host_members.empty();
    }));
}

} // namespace
} // namespace sim_test
