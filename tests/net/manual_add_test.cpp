// ZR_QM_AddDevice against the simulated fleet: which MAC address a receiver
// is managed under, what the record holds, and each refusal.
#include <cstring>
#include <filesystem>

#include "discovery_fixture.h"

namespace discovery_test {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

constexpr char kStationAddress[] = "192.168.1.5";

class ManualAddTest : public DiscoveryTest {
protected:
    // A receiver whose network status reports the hotspot as `wifi_on`, a
    // wired and a station address as given, and a MAC address of its own for
    // each interface: hotspot aa, wired (its identity) bb, station cc.
    talvo_sim::ReceiverConfig AddReporting(int i, const std::string &wifi_on, bool wired, bool station) {
        talvo_sim::ReceiverConfig receiver;
        receiver.mac = HotspotlessMac("bb", i);
        receiver.address = "127.0.40." + std::to_string(i);
        receiver.model = "TALVO_SX";
        receiver.version = "TALVO_SX-V3.0." + std::to_string(i);
        receiver.settings[talvo_sim::kDevStatus] = {
            {"wifi_on_status", wifi_on},
            {"wifi_ssid_status", "Hall " + std::to_string(i)},
            {"wifi_mac_addr_status", HotspotlessMac("aa", i)},
            {"wired_ipaddr_status", wired ? receiver.address : ""},
            {"wired_mac_addr_status", HotspotlessMac("bb", i)},
            {"wlan1_ipaddr_status", station ? kStationAddress : ""},
            {"wlan1_mac_addr_status", HotspotlessMac("cc", i)},
        };
        fleet.Add(receiver);
        return receiver;
    }
    static std::string HotspotlessMac(const std::string &kind, int i) {
        char mac[18];
        std::snprintf(mac, sizeof mac, "02:54:56:%s:00:%02x", kind.c_str(), i);
        return mac;
    }

    int Add(const std::string &address, DeviceInfo &out) {
        std::memset(&out, 0xAB, sizeof out);
        return ZR_QM_AddDevice(address.c_str(), "ignored", "ignored", &out);
    }
};

TEST_F(ManualAddTest, ManagesTheMacAddressOfTheInterfaceTheReceiverReports) {
    struct Case {
        const char *what;
        std::string wifi_on;
        bool wired, station;
        std::string mac_kind; // "aa" hotspot, "bb" wired, "cc" station
    };
    const std::vector<Case> cases = {
        {"hotspot on, wired address", "true", true, false, "aa"},
        {"hotspot on, station address", "true", false, true, "aa"},
        {"hotspot on, no other address", "true", false, false, "aa"},
        {"hotspot off, wired address", "false", true, false, "bb"},
        {"hotspot off, station address", "false", false, true, "cc"},
        {"hotspot off, wired and station address", "false", true, true, "bb"},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const int n = static_cast<int>(i) + 1;
        auto receiver = AddReporting(n, c.wifi_on, c.wired, c.station);
        DeviceInfo out;
        ASSERT_EQ(Add(receiver.address, out), 0) << c.what;
        const std::string mac = HotspotlessMac(c.mac_kind, n);
        EXPECT_EQ(std::string(out.Wired_MacAddr), mac) << c.what;
        EXPECT_EQ(std::string(out.Wifi_SSID), c.wifi_on == "true" ? "Hall " + std::to_string(n) : "") << c.what;
        EXPECT_EQ(std::string(out.Wired_IpAddr), receiver.address) << c.what;
        EXPECT_STREQ(out.Device_Type, "TALVO_SX") << c.what;
        EXPECT_EQ(std::string(out.Device_Ver), receiver.version) << c.what;
        EXPECT_STREQ(out.Device_UserName, "TALVO") << c.what;
        EXPECT_EQ(std::string(out.Device_PwdMd5), kOperatePwdMd5) << c.what;
        EXPECT_EQ(std::string(out.Device_Group), kDefaultGroup) << c.what;
        EXPECT_STREQ(out.Device_Alias, "") << c.what;
        EXPECT_EQ(out.RunTime, 0u) << c.what;
        EXPECT_EQ(std::string(ManagedInfo(mac).Device_Ver), receiver.version) << c.what;
        EXPECT_NE(cwd_.Read("DevsInfo.ini").find(mac), std::string::npos) << c.what;
    }
    EXPECT_EQ(ManagedDevices().size(), cases.size());
}

TEST_F(ManualAddTest, LogsInWithTheOperateCredentialsNotTheArguments) {
    auto receiver = AddReporting(1, "false", true, false);
    DeviceInfo out;
    ASSERT_EQ(Add(receiver.address, out), 0);
    auto requests = fleet.Requests(receiver.mac);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0].action, "login");
    EXPECT_EQ(requests[0].query["username"], "TALVO");
    EXPECT_EQ(requests[0].query["password"], kOperatePwdMd5);
    EXPECT_EQ(requests[1].section, "dev_status");
    EXPECT_EQ(requests[2].section, "net_settings");
}

TEST_F(ManualAddTest, ReceiverWhoseConfigurationCannotBeReadIsAddedAsTALVO_HXWithoutVersion) {
    auto receiver = AddReporting(1, "false", true, false);
    fleet.InjectFault(receiver.mac, "net_settings", Fault(FaultType::Status, 500));
    LogCapture log;
    DeviceInfo out;
    ASSERT_EQ(Add(receiver.address, out), 0);
    EXPECT_TRUE(log.Contains("] get device net configure failed.!"));
    EXPECT_STREQ(out.Device_Type, "TALVO_HX");
    EXPECT_STREQ(out.Device_Ver, "");
    DeviceInfo managed = ManagedInfo(receiver.mac);
    EXPECT_STREQ(managed.Device_Type, "TALVO_HX");
    EXPECT_STREQ(managed.Device_Ver, "");
}

TEST_F(ManualAddTest, RefusalsLeaveTheManagedListAndTheStoreAsTheyWere) {
    auto managed = AddReporting(1, "false", true, false);
    DeviceInfo out;
    ASSERT_EQ(Add(managed.address, out), 0);
    auto wrong_password = AddReporting(2, "false", true, false);
    fleet.SetCredentials(wrong_password.mac, "TALVO", talvo_sim::Md5Hex("other"));
    auto broken_status = AddReporting(3, "false", true, false);
    fleet.InjectFault(broken_status.mac, "dev_status", Fault(FaultType::Status, 500));
    auto unknown_model = AddReporting(4, "false", true, false);
    fleet.SetModel(unknown_model.mac, "TALVO_ZX");
    auto no_mac = AddReporting(5, "false", false, false); // reports no interface address at all

    struct Case {
        const char *what;
        std::string address;
        int result;
        std::string log;
    };
    const std::vector<Case> cases = {
        {"managed already", managed.address, ZR_QM_ERR_DEV_EXISTS, "] add device to list failed.!"},
        {"nothing answers", "127.0.40.200", ZR_QM_ERR_CONNECT, "] login device failed.!"},
        {"login refused", wrong_password.address, ZR_QM_ERR_DEV_LOGIN, "] login device failed.!"},
        {"status read fails", broken_status.address, ZR_QM_ERR_HTTP_500, "] get device status failed.!"},
        {"unknown model", unknown_model.address, ZR_QM_ERR_DEV_TYPE, "] add device to list failed.!"},
        {"no MAC address", no_mac.address, ZR_QM_ERR_JSON, "] device reports no mac address.!"},
        {"empty address", "", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
        {"address with a port", managed.address + ":80", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
        {"three parts", "127.0.40", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
        {"part above 255", "127.0.40.256", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
        {"trailing blank", managed.address + " ", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
        {"a path", "127.0.40.1/x", ZR_QM_ERR_PARAM, "] parameter is not illegal!"},
    };
    const std::string store = cwd_.Read("DevsInfo.ini");
    for (const Case &c : cases) {
        LogCapture log;
        EXPECT_EQ(Add(c.address, out), c.result) << c.what;
        EXPECT_TRUE(log.Contains(c.log)) << c.what;
        EXPECT_EQ(ManagedMacs(), std::vector<std::string>{managed.mac}) << c.what;
        EXPECT_EQ(cwd_.Read("DevsInfo.ini"), store) << c.what;
    }
    EXPECT_EQ(ZR_QM_AddDevice(nullptr, "u", "p", &out), ZR_QM_ERR_PARAM);
    EXPECT_EQ(ZR_QM_AddDevice(managed.address.c_str(), "u", "p", nullptr), ZR_QM_ERR_PARAM);
}

} // namespace
} // namespace discovery_test
