// The single-device frame through the exports, against simulated receivers:
// every export makes its request, devices that are not online are refused
// before any request, lookups log the operation's message, and an expired
// session is renewed once.
#include <cstring>

#include "operations_fixture.h"

namespace {

// A progress read succeeded when it gave a value of 0 or more.
int ProgressAnswered(int progress) { return progress >= 0 ? 0 : progress; }


using namespace korvel::testing;
using talvo_sim::FaultType;
using talvo_sim::Md5Hex;

// One single-device export called on `mac`, the result it gives on a ready
// receiver, and the request the receiver must then have received last.
struct SingleCall {
    const char *name;
    std::function<int(const char *mac)> call;
    int result;
    const char *action;  // "" for the TCP command
    const char *section;
    bool online = true;  // refused when the device is not online
    std::map<std::string, std::string> query = {};
};

class SingleCallTest : public OperationsTest {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        image = files.Write("image.bin", std::string(70000, 'p'));
        fleet.SetVersion(macs[0], "TALVO_JX-V9.9.9");
        talvo_sim::HostMember laptop, phone;
        laptop.conn_ip = "192.168.49.20";
        phone.conn_ip = "192.168.49.21";
        fleet.SetHostMembers(macs[0], {laptop, phone});
        AllReady();
    }

    std::vector<SingleCall> Calls() {
        static NetConfig net, net_out;
        static VideoOutConfig video, video_out;
        static PinCodeConfig pin, pin_out;
        static DeviceNetStatus status;
        static CompereList list;
        static MulticastModeConfig multicast, multicast_out;
        static CompereMember member;
        static char version[32];
        std::strcpy(net.wired_use_dhcp, "true");
        std::strcpy(video.sound_volume, "30");
        std::strcpy(pin.use_input_code, "true");
        std::strcpy(pin.input_code, "1234");
        std::strcpy(member.conn_ip, "192.168.49.20");
        std::strcpy(multicast.multi_display_enable, "true");
        std::strcpy(multicast.multi_display_multi_ip, "239.0.0.9");
        const std::string path = image, md5 = Md5Hex(std::string(70000, 'p'));
        return {
            {"GetDevicStatus", [](const char *mac) { return ZR_QM_GetDevicStatus(mac, &status); }, 0, "read",
             "dev_status"},
            {"GetDeviceVersion",
             [](const char *mac) {
                 int result = ZR_QM_GetDeviceVersion(mac, version);
                 return result == 0 && std::strcmp(version, "TALVO_JX-V9.9.9") != 0 ? -99 : result;
             },
             0, "read", "net_settings", false},
            {"GetDeviceNetConf", [](const char *mac) { return ZR_QM_GetDeviceNetConf(mac, &net_out); }, 0, "read",
             "net_settings"},
            {"SetDeviceNetConf", [](const char *mac) { return ZR_QM_SetDeviceNetConf(mac, &net); }, 0, "save",
             "net_settings", true, {{"wired_use_dhcp", "true"}}},
            {"GetDeviceVOConf", [](const char *mac) { return ZR_QM_GetDeviceVOConf(mac, &video_out); }, 0, "read",
             "video_out"},
            {"SetDeviceVOConf", [](const char *mac) { return ZR_QM_SetDeviceVOConf(mac, &video); }, 0, "save",
             "video_out"},
            {"GetDevicePinCode", [](const char *mac) { return ZR_QM_GetDevicePinCode(mac, &pin_out); }, 0, "read",
             "pin_code"},
            {"SetDevicePinCode", [](const char *mac) { return ZR_QM_SetDevicePinCode(mac, &pin); }, 0, "save",
             "pin_code", true, {{"use_input_code", "true"}}},
            {"SetDeviceWebLoginPWD", [](const char *mac) { return ZR_QM_SetDeviceWebLoginPWD(mac, "admin", "n3w"); },
             0, "update", "login_pwd", true, {{"admin_pwd_old", Md5Hex("admin")}, {"admin_pwd_new", Md5Hex("n3w")}}},
            {"SetDeviceWifi open", [](const char *mac) { return ZR_QM_SetDeviceWifi(mac, 7); }, 0, "open", "dev_wifi"},
            {"SetDeviceWifi close", [](const char *mac) { return ZR_QM_SetDeviceWifi(mac, 0); }, 0, "close",
             "dev_wifi"},
            {"DeviceContol", [](const char *mac) { return ZR_QM_DeviceContol(mac, 1); }, 0, "wakeup", "dev_control"},
            {"UpgradeDevice", [path](const char *mac) { return ZR_QM_UpgradeDevice(mac, path.c_str()); }, 0,
             "upload", "upgrade", true, {{"md5", md5}}},
            // Progress rises while the receiver installs: any value of 0 or more is an answer.
            {"GetDeviceUpgradeProgress", [](const char *mac) { return ProgressAnswered(ZR_QM_GetDeviceUpgradeProgress(mac)); }, 0,
             "read", "upgradeprogress"},
            {"DevSystemUpdate", [path](const char *mac) { return ZR_QM_DevSystemUpdate(mac, 1, path.c_str()); }, 0,
             "upload", "kernel_update", true, {{"md5", md5}}},
            {"GetDeviceSystemUpdateProgress",
             [](const char *mac) { return ProgressAnswered(ZR_QM_GetDeviceSystemUpdateProgress(mac, 2)); }, 0, "read",
             "filesystem_progress"},
            {"SetDeviceScreen", [path](const char *mac) { return ZR_QM_SetDeviceScreen(mac, 1, path.c_str()); }, 0,
             "upload", "standby_screen"},
            {"GetCompereList", [](const char *mac) { return ZR_QM_GetCompereList(mac, &list); }, 0, "read",
             "compere_mode"},
            {"SetCompereMember", [](const char *mac) { return ZR_QM_SetCompereMember(mac, 2, &member); }, 0, "save",
             "compere_mode", true, {{"conn_ip", "192.168.49.20"}, {"single_display", "true"}}},
            {"GetMulticastMode", [](const char *mac) { return ZR_QM_GetMulticastMode(mac, &multicast_out); }, 0, "read",
             "multi_mode"},
            {"SetMulticastMode", [](const char *mac) { return ZR_QM_SetMulticastMode(mac, &multicast); }, 0, "save",
             "multi_mode", true, {{"multi_display_enable", "true"}, {"multi_display_multi_ip", "239.0.0.9"}}},
            {"LogoutDevice", [](const char *mac) { return ZR_QM_LogoutDevice(mac); }, 0, "logout", "logout", false},
            {"LoginDevice", [](const char *mac) { return ZR_QM_LoginDevice(mac, nullptr, nullptr); }, 0, "login", "",
             false},
        };
    }

    // Calls that take the receiver away for a moment, each followed by a wait
    // until it answers again.
    std::vector<SingleCall> CallsThatRestart() {
        return {
            {"DeviceReboot", [](const char *mac) { return ZR_QM_DeviceReboot(mac); }, 0, "reboot", "dev_reboot"},
            {"DeviceReboot_Ex", [](const char *mac) { return ZR_QM_DeviceReboot_Ex(mac); }, 0, "", ""},
            {"DeviceFactoryReset", [](const char *mac) { return ZR_QM_DeviceFactoryReset(mac); }, 0, "reset",
             "dev_reset"},
        };
    }

    void ExpectLastRequest(const SingleCall &call) {
        std::vector<talvo_sim::RequestRecord> requests = fleet.Requests(macs[0]);
        ASSERT_FALSE(requests.empty()) << call.name;
        const talvo_sim::RequestRecord &last = requests.back();
        if (call.action[0] == '\0') {
            EXPECT_EQ(last.protocol, "tcp") << call.name;
            return;
        }
        EXPECT_EQ(last.action, call.action) << call.name;
        EXPECT_EQ(last.section, call.section) << call.name;
        for (const auto &[key, value] : call.query) {
            auto sent = last.query.find(key);
            EXPECT_TRUE(sent != last.query.end() && sent->second == value) << call.name << " " << key;
        }
    }

    std::string image;
};

TEST_F(SingleCallTest, EveryExportMakesItsRequest) {
    for (const SingleCall &call : Calls()) {
        EXPECT_EQ(call.call(macs[0].c_str()), call.result) << call.name;
        ExpectLastRequest(call);
    }
    for (const SingleCall &call : CallsThatRestart()) {
        LogIn(macs[0]);
        EXPECT_EQ(call.call(macs[0].c_str()), call.result) << call.name;
        ExpectLastRequest(call);
        EXPECT_TRUE(Eventually([&] {
            return fleet.Snapshot(macs[0]).presence == talvo_sim::Presence::Online && AllAnswering();
        })) << call.name;
    }
}

TEST_F(SingleCallTest, SetCompereMemberSendsOnlyTheAddressForAnUnknownOperation) {
    CompereMember member{};
    std::strcpy(member.conn_ip, "192.168.49.21");
    std::strcpy(member.conn_name, "not sent");
    // The receiver refuses a change without a verdict; what counts is what was sent.
    EXPECT_EQ(ZR_QM_SetCompereMember(macs[0].c_str(), 9, &member), ZR_QM_ERR_DEV_REFUSED);
    EXPECT_EQ(fleet.Requests(macs[0]).back().query, (std::map<std::string, std::string>{
                                                         {"action", "save"},
                                                         {"section", "compere_mode"},
                                                         {"conn_ip", "192.168.49.21"}}));
}

TEST_F(SingleCallTest, DevicesNotOnlineAreRefusedBeforeAnyRequest) {
    for (int state : {ZR_QM_STATE_STANDBY, ZR_QM_STATE_OFFLINE, ZR_QM_STATE_UNKNOWN}) {
        SetStoredState(macs[0], state);
        for (const SingleCall &call : Calls()) {
            fleet.ClearRequests(macs[0]);
            LogCapture log;
            int result = call.call(macs[0].c_str());
            if (call.online) {
                EXPECT_EQ(result, ZR_QM_ERR_DEV_OFFLINE) << call.name << " in state " << state;
                EXPECT_TRUE(fleet.Requests(macs[0]).empty()) << call.name;
                EXPECT_TRUE(log.Contains("device is not online, not allowed operate.")) << call.name;
            } else {
                EXPECT_EQ(result, call.result) << call.name << " in state " << state;
            }
        }
        fleet.ClearRequests(macs[0]);
        for (const SingleCall &call : CallsThatRestart())
            EXPECT_EQ(call.call(macs[0].c_str()), ZR_QM_ERR_DEV_OFFLINE) << call.name;
        EXPECT_TRUE(fleet.Requests(macs[0]).empty());
    }
}

TEST_F(SingleCallTest, UnknownMacsLogTheOperationsLookupMessage) {
    struct Case {
        std::function<int()> call;
        const char *line;
    };
    NetConfig net{};
    CompereList list{};
    const Case cases[] = {
        {[&] { return ZR_QM_GetDeviceNetConf("02:00:00:00:00:99", &net); },
         "GetDeviceNetConf() get device by mac address failed"},
        {[&] { return ZR_QM_DeviceReboot_Ex("02:00:00:00:00:99"); },
         "DeviceReboot_Ex() get device by mac address failed"},
        {[&] { return ZR_QM_LoginDevice("02:00:00:00:00:99", "u", "p"); },
         "LoginDevice() get device by mac address failed"},
        {[&] { return ZR_QM_GetCompereList("02:00:00:00:00:99", &list); }, "get device failed.\n"},
    };
    for (const Case &c : cases) {
        LogCapture log;
        EXPECT_EQ(c.call(), ZR_QM_ERR_DEV_NOT_FOUND) << c.line;
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
    }
    EXPECT_TRUE(NothingReceived());
}

TEST_F(SingleCallTest, MissingArgumentsAreRefused) {
    NetConfig net{};
    const std::function<int()> calls[] = {
        [] { return ZR_QM_GetDeviceNetConf(nullptr, nullptr); },
        [&] { return ZR_QM_SetDeviceNetConf(nullptr, &net); },
        [&] { return ZR_QM_GetDevicStatus(macs[0].c_str(), nullptr); },
        [&] { return ZR_QM_GetDeviceVersion(macs[0].c_str(), nullptr); },
        [&] { return ZR_QM_SetDeviceWebLoginPWD(macs[0].c_str(), "old", nullptr); },
        [&] { return ZR_QM_UpgradeDevice(macs[0].c_str(), nullptr); },
        [&] { return ZR_QM_SetDeviceScreen(macs[0].c_str(), 0, nullptr); },
        [&] { return ZR_QM_DevSystemUpdate(macs[0].c_str(), 1, nullptr); },
        [&] { return ZR_QM_SetCompereMember(macs[0].c_str(), 0, nullptr); },
        [&] { return ZR_QM_SetMulticastMode(macs[0].c_str(), nullptr); },
        [] { return ZR_QM_DeviceReboot(nullptr); },
        [] { return ZR_QM_LoginDevice(nullptr, "u", "p"); },
    };
    for (const auto &call : calls) EXPECT_EQ(call(), ZR_QM_ERR_PARAM);
    EXPECT_TRUE(NothingReceived());
}

// ---- session renewal ----

TEST_F(SingleCallTest, ExpiredSessionIsRenewedAndTheRequestMadeAgain) {
    fleet.ExpireSessions(macs[0]);
    NetConfig net{};
    EXPECT_EQ(ZR_QM_GetDeviceNetConf(macs[0].c_str(), &net), 0);
    std::vector<std::string> seen;
    for (const auto &request : fleet.Requests(macs[0])) seen.push_back(request.action + "/" + request.section);
    EXPECT_EQ(seen, (std::vector<std::string>{"read/net_settings", "login/", "read/net_settings"}));
}

TEST_F(SingleCallTest, DeviceWithoutSessionLogsInBeforeItsRequest) {
    ASSERT_EQ(ZR_QM_LogoutDevice(macs[0].c_str()), 0);
    ClearAllRequests();
    NetConfig net{};
    EXPECT_EQ(ZR_QM_GetDeviceNetConf(macs[0].c_str(), &net), 0);
    std::vector<std::string> seen;
    for (const auto &request : fleet.Requests(macs[0])) seen.push_back(request.action + "/" + request.section);
    EXPECT_EQ(seen, (std::vector<std::string>{"login/", "read/net_settings"}));
}

TEST_F(SingleCallTest, RequestAnswered401IsMadeAtMostTwice) {
    fleet.InjectFault(macs[0], "video_out", Always(FaultType::Unauthorized));
    VideoOutConfig video{};
    LogCapture log;
    EXPECT_EQ(ZR_QM_GetDeviceVOConf(macs[0].c_str(), &video), ZR_QM_ERR_HTTP_401);
    EXPECT_EQ(CountOf(macs[0], "video_out"), 2);
    EXPECT_EQ(CountOf(macs[0], "login"), 1);
    EXPECT_TRUE(log.Contains("GetDeviceVOConf() failed"));
}

TEST_F(SingleCallTest, FailedRenewalGivesTheLoginsCode) {
    fleet.ExpireSessions(macs[0]);
    fleet.SetCredentials(macs[0], "TALVO", Md5Hex("changed elsewhere"));
    PinCodeConfig pin{};
    LogCapture log;
    EXPECT_EQ(ZR_QM_GetDevicePinCode(macs[0].c_str(), &pin), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_TRUE(log.Contains("login device failed."));
    EXPECT_EQ(CountOf(macs[0], "pin_code"), 1);

    // The refused login ended the session: the next call tries to log in
    // first and sends nothing while the receiver keeps refusing.
    EXPECT_EQ(ZR_QM_GetDevicePinCode(macs[0].c_str(), &pin), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_EQ(CountOf(macs[0], "pin_code"), 1);
    EXPECT_EQ(CountOf(macs[0], "login"), 2);

    fleet.SetCredentials(macs[0], "TALVO", kOperatePwdMd5);
    LogIn(macs[0]);
    fleet.ExpireSessions(macs[0]);
    fleet.InjectFault(macs[0], "login", Always(FaultType::Status, 503));
    EXPECT_EQ(ZR_QM_GetDevicePinCode(macs[0].c_str(), &pin), ZR_QM_ERR_HTTP_503);
}

TEST_F(SingleCallTest, UploadsWithoutRenewalGiveThe401) {
    fleet.InjectFault(macs[0], "upload", Always(FaultType::Unauthorized));
    EXPECT_EQ(ZR_QM_UpgradeDevice(macs[0].c_str(), image.c_str()), ZR_QM_ERR_HTTP_401);
    EXPECT_EQ(ZR_QM_DevSystemUpdate(macs[0].c_str(), 2, image.c_str()), ZR_QM_ERR_HTTP_401);
    EXPECT_EQ(CountOf(macs[0], "login"), 0);
    // The screen upload renews.
    EXPECT_EQ(ZR_QM_SetDeviceScreen(macs[0].c_str(), 0, image.c_str()), ZR_QM_ERR_HTTP_401);
    EXPECT_EQ(CountOf(macs[0], "login"), 1);
    EXPECT_EQ(CountOf(macs[0], "startup_screen"), 2);
}

// ---- login ----

TEST_F(SingleCallTest, LoginWithGivenCredentialsKeepsThemOnSuccessOnly) {
    fleet.SetCredentials(macs[0], "boss", Md5Hex("pw2"));
    EXPECT_EQ(ZR_QM_LoginDevice(macs[0].c_str(), "boss", "wrong"), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_EQ(std::string(InfoOf(macs[0]).Device_UserName), "TALVO");
    EXPECT_EQ(ZR_QM_LoginDevice(macs[0].c_str(), "boss", "pw2"), 0);
    DeviceInfo info = InfoOf(macs[0]);
    EXPECT_EQ(std::string(info.Device_UserName), "boss");
    EXPECT_EQ(std::string(info.Device_PwdMd5), Md5Hex("pw2"));
    EXPECT_EQ(fleet.Requests(macs[0]).back().query["password"], Md5Hex("pw2"));
    // Without a password the stored pair is used.
    EXPECT_EQ(ZR_QM_LoginDevice(macs[0].c_str(), "someone", nullptr), 0);
    EXPECT_EQ(fleet.Requests(macs[0]).back().query["username"], "boss");
    // A user name that does not fit the record is refused before any request.
    const std::string overlong(32, 'b');
    fleet.SetCredentials(macs[0], overlong, Md5Hex("pw3"));
    const size_t requests = fleet.Requests(macs[0]).size();
    EXPECT_EQ(ZR_QM_LoginDevice(macs[0].c_str(), overlong.c_str(), "pw3"), ZR_QM_ERR_PARAM);
    EXPECT_EQ(fleet.Requests(macs[0]).size(), requests);
    EXPECT_EQ(std::string(InfoOf(macs[0]).Device_UserName), "boss");
}

} // namespace
