// Configuration, maintenance commands, host mode and multi-display mode
// against a simulated receiver: the exact requests and every answer rule.
#include "sim_device.h"

namespace device_test {
namespace {

using talvo_sim::FaultType;

class RequestTest : public SimDeviceTest {
protected:
    void SetUp() override {
        SimDeviceTest::SetUp();
        LogIn();
    }
};

// ---- configuration ----

TEST_F(RequestTest, ReadsTheNetworkSettingsAndTakesTheVersion) {
    fleet.SetVersion(kMac, "JX-2.4.1");
    fleet.SetSetting(kMac, talvo_sim::kNetSettings, "wifi_on", ""); // an SSID without the switch counts as on
    NetConfig config{};
    ASSERT_EQ(device->GetNetConfig(config), 0);
    EXPECT_EQ(LastPath(), "/do?action=read&section=net_settings");
    EXPECT_EQ(Last().cookie, OnTheWire(device->Cookie()));
    EXPECT_STREQ(config.wifi_on, "true");
    EXPECT_STREQ(config.wifi_ssid, "TALVO-0001");
    EXPECT_STREQ(config.dev_ver_info, "JX-2.4.1");
    EXPECT_STREQ(config.dev_type, "TALVO_JX");
    EXPECT_EQ(device->Version(), "JX-2.4.1");

    NetConfig untouched{};
    std::strcpy(untouched.wifi_ssid, "keep");
    Inject("net_settings", FaultOf(FaultType::ForeignMac));
    EXPECT_EQ(device->GetNetConfig(untouched), -1);
    Inject("net_settings", FaultOf(FaultType::ErrCode, 3));
    EXPECT_EQ(device->GetNetConfig(untouched), ZR_QM_ERR_DEV_REFUSED);
    EXPECT_STREQ(untouched.wifi_ssid, "keep");
}

TEST_F(RequestTest, NetworkSettingsWriteSendsAllSeventeenInOrder) {
    NetConfig config{};
    ASSERT_EQ(device->GetNetConfig(config), 0);
    std::strcpy(config.wifi_ssid, "Room 1-A");
    std::strcpy(config.wired_use_dhcp, "False");
    std::strcpy(config.wired_secdns, "127.0.0.2");
    std::strcpy(config.router_wifi_ssid, "Lab");
    std::strcpy(config.router_passwd, "pw");
    ASSERT_EQ(device->SetNetConfig(config), 0);
    EXPECT_EQ(LastPath(),
              "/do?action=save&section=net_settings&wifi_on=true&wifi_ssid=Room%201%2dA"
              "&wifi_ipaddr=192%2e168%2e49%2e1&wifi_ipmask=255%2e255%2e255%2e0&wifi_pwd=12345678&wifi_countries=CN"
              "&wifi_fre=g5&wifi_channel=149&wifi_signal_strength=100&wired_use_dhcp=False"
              "&wired_ipaddr=127%2e0%2e10%2e1&wired_ipmask=255%2e0%2e0%2e0&wired_ipgateway=127%2e0%2e0%2e1"
              "&wired_pridns=127%2e0%2e0%2e1&wired_secdns=127%2e0%2e0%2e2&router_wifi_ssid=Lab&router_passwd=pw");
    EXPECT_EQ(Last().query.size(), 19u); // action, section and 17 settings
    EXPECT_EQ(fleet.GetSettings(kMac, talvo_sim::kNetSettings).at("wifi_ssid"), "Room 1-A");

    NetConfig off = config;
    std::strcpy(off.wifi_on, "false");
    std::strcpy(off.wired_use_dhcp, "TRUE");
    ASSERT_EQ(device->SetNetConfig(off), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=net_settings&wifi_on=false&wired_use_dhcp=TRUE"
                          "&router_wifi_ssid=Lab&router_passwd=pw");

    ASSERT_EQ(device->SetNetConfig(NetConfig{}), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=net_settings");

    Inject("net_settings", FaultOf(FaultType::ErrCode, 2));
    EXPECT_EQ(device->SetNetConfig(config), ZR_QM_ERR_DEV_REFUSED);
}

TEST_F(RequestTest, VideoOutputAndItsNinePictureRefusal) {
    VideoOutConfig video{};
    ASSERT_EQ(device->GetVideoOut(video), 0);
    EXPECT_EQ(LastPath(), "/do?action=read&section=video_out");
    EXPECT_STREQ(video.sound_volume, "80");
    EXPECT_STREQ(video.auto_shutdown_sec, "300");

    VideoOutConfig change{};
    std::strcpy(change.video_hdmi_resu, "1080P60");
    std::strcpy(change.sound_volume, "35");
    std::strcpy(change.auto_shutdown_sec, "600");
    ASSERT_EQ(device->SetVideoOut(change), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=video_out&video_hdmi_resu=1080P60&sound_volume=35"
                          "&auto_shutdown_sec=600");
    ASSERT_EQ(device->SetVideoOut(video), 0);
    EXPECT_EQ(Last().query.size(), 14u); // all twelve

    // The receiver refuses nine pictures while multicast mode is on.
    MulticastModeConfig multicast{};
    std::strcpy(multicast.multi_display_enable, "true");
    std::strcpy(multicast.multi_display_type, "multicast");
    ASSERT_EQ(device->SetMulticastMode(multicast), 0);
    VideoOutConfig nine{};
    std::strcpy(nine.display_mode, "2");
    EXPECT_EQ(device->SetVideoOut(nine), ZR_QM_ERR_NINE_IN_MULTICAST);
    Inject("video_out", FaultOf(FaultType::ErrCode, 3));
    EXPECT_EQ(device->SetVideoOut(change), ZR_QM_ERR_DEV_REFUSED);
}

TEST_F(RequestTest, PinCodeSendsOnlyTheSwitch) {
    PinCodeConfig pin{};
    ASSERT_EQ(device->GetPinCode(pin), 0);
    EXPECT_STREQ(pin.use_input_code, "false");
    EXPECT_STREQ(pin.input_code, "2580");
    ASSERT_EQ(device->SetPinCode("true"), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=pin_code&use_input_code=true");
    ASSERT_EQ(device->SetPinCode(""), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=pin_code");
    Inject("pin_code", FaultOf(FaultType::ErrCode, 1));
    EXPECT_EQ(device->GetPinCode(pin), ZR_QM_ERR_DEV_REFUSED);
}

TEST_F(RequestTest, PasswordChangesGoToTheirSections) {
    const std::string old_login = PasswordMd5();
    const std::string new_login = talvo_sim::Md5Hex("next");
    ASSERT_EQ(device->ChangeLoginPassword(old_login.c_str(), new_login.c_str()), 0);
    EXPECT_EQ(LastPath(),
              "/do?action=update&section=QM_login_pwd&admin_pwd_old=" + old_login + "&admin_pwd_new=" + new_login);
    EXPECT_EQ(fleet.Snapshot(kMac).config.password_md5, new_login);
    EXPECT_EQ(device->PasswordMd5(), old_login); // the library's stored pair stays

    const std::string old_web = talvo_sim::Md5Hex("admin");
    const std::string new_web = talvo_sim::Md5Hex("web2");
    ASSERT_EQ(device->ChangeWebPassword(old_web.c_str(), new_web.c_str()), 0);
    EXPECT_EQ(LastPath(), "/do?action=update&section=login_pwd&admin_pwd_old=" + old_web + "&admin_pwd_new=" + new_web);
    EXPECT_EQ(fleet.Snapshot(kMac).config.web_password_md5, new_web);
    EXPECT_EQ(device->ChangeWebPassword(old_web.c_str(), new_web.c_str()), ZR_QM_ERR_DEV_REFUSED);
}

TEST_F(RequestTest, EveryRequestNeedsASessionAndSendsNothingWithout) {
    ASSERT_EQ(device->Logout(), 0);
    fleet.ClearRequests(kMac);
    NetConfig net{};
    VideoOutConfig video{};
    PinCodeConfig pin{};
    CompereList list{};
    MulticastModeConfig mode{};
    const std::function<int()> requests[] = {
        [&] { return device->GetNetConfig(net); },      [&] { return device->SetNetConfig(net); },
        [&] { return device->GetVideoOut(video); },     [&] { return device->SetVideoOut(video); },
        [&] { return device->GetPinCode(pin); },        [&] { return device->SetPinCode("true"); },
        [&] { return device->ChangeLoginPassword("a", "b"); }, [&] { return device->ChangeWebPassword("a", "b"); },
        [&] { return device->FactoryReset(); },         [&] { return device->Reboot(); },
        [&] { return device->SetWifi(true); },          [&] { return device->Control(1); },
        [&] { return device->GetUpgradeProgress(); },   [&] { return device->GetUpdateProgress(1); },
        [&] { return device->GetCompereList(list); },   [&] { return device->SetCompereMember(0, "1.2.3.4"); },
        [&] { return device->GetMulticastMode(mode); }, [&] { return device->SetMulticastMode(mode); },
        [&] { return device->Upgrade("x", 1, "fw.bin"); },
        [&] { return device->SetScreen(0, "x", 1, "a.jpg"); },
        [&] { return device->SystemUpdate("x", 1, 1, "k.bin", "00"); },
    };
    for (const auto &request : requests) EXPECT_EQ(request(), ZR_QM_ERR_DEV_NO_SESSION);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(RequestTest, CommonAnswerRules) {
    struct Case {
        talvo_sim::Fault fault;
        int result;
    } cases[] = {{FaultOf(FaultType::Status, 400), ZR_QM_ERR_HTTP_400},
                 {FaultOf(FaultType::Status, 408), ZR_QM_ERR_TIMEOUT},
                 {FaultOf(FaultType::Status, 302), ZR_QM_ERR_HTTP},
                 {FaultOf(FaultType::Unauthorized), ZR_QM_ERR_HTTP_401},
                 {FaultOf(FaultType::BrokenBody), ZR_QM_ERR_JSON},
                 {FaultOf(FaultType::ErrCode, 7), ZR_QM_ERR_DEV_REFUSED},
                 {FaultOf(FaultType::Close), -1}};
    for (const auto &c : cases) {
        // Until cleared: libcurl sends a request again once when a kept-alive
        // connection closes before any answer.
        InjectUntilCleared("*", c.fault);
        EXPECT_EQ(device->Reboot(), c.result) << static_cast<int>(c.fault.type);
        PinCodeConfig pin{};
        EXPECT_EQ(device->GetPinCode(pin), c.result) << static_cast<int>(c.fault.type);
        fleet.ClearFaults(kMac);
    }
    korvel::testing::LogCapture log;
    fleet.TakeOffline(kMac);
    EXPECT_EQ(device->SetWifi(false), -1);
    EXPECT_TRUE(log.Contains("http request faled."));
}

// ---- maintenance ----

TEST_F(RequestTest, CommandsGoToTheirActionsAndSections) {
    struct Case {
        std::function<int(korvel::Device &)> command;
        const char *path;
    } cases[] = {
        {[](auto &d) { return d.FactoryReset(); }, "/do?action=reset&section=dev_reset"},
        {[](auto &d) { return d.Reboot(); }, "/do?action=reboot&section=dev_reboot"},
        {[](auto &d) { return d.SetWifi(true); }, "/do?action=open&section=dev_wifi"},
        {[](auto &d) { return d.SetWifi(false); }, "/do?action=close&section=dev_wifi"},
        {[](auto &d) { return d.Control(0); }, "/do?action=sleep&section=dev_control"},
        {[](auto &d) { return d.Control(1); }, "/do?action=wakeup&section=dev_control"},
        {[](auto &d) { return d.Control(2); }, "/do?action=reboot&section=dev_control"},
        {[](auto &d) { return d.Control(3); }, "/do?action=shutdown&section=dev_control"},
        {[](auto &d) { return d.Control(4); }, "/do?action=reset&section=dev_reset"},
        {[](auto &d) { return d.Control(5); }, "/do?action=open&section=dev_wifi"},
        {[](auto &d) { return d.Control(6); }, "/do?action=close&section=dev_wifi"},
    };
    for (const auto &c : cases) {
        Inject("*", FaultOf(FaultType::ErrCode, 0)); // answered as done, without the effect
        EXPECT_EQ(c.command(*device), 0) << c.path;
        EXPECT_EQ(LastPath(), c.path);
    }
    // Outside the table: empty action and section; the receiver decides.
    EXPECT_EQ(device->Control(9), ZR_QM_ERR_HTTP_404);
    EXPECT_EQ(LastPath(), "/do?action=&section=");
    EXPECT_EQ(device->Control(-1), ZR_QM_ERR_HTTP_404);
}

TEST_F(RequestTest, SleepReachesTheReceiver) {
    ASSERT_EQ(device->Control(0), 0);
    int state = -1;
    int run_time = 0;
    ASSERT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_STANDBY);
    ASSERT_EQ(device->Control(1), 0);
    ASSERT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_IDLE);
}

// ---- host mode and multi-display mode ----

TEST_F(RequestTest, HostMembersAreReadWhole) {
    std::vector<talvo_sim::HostMember> members;
    for (int i = 0; i < 32; ++i) {
        talvo_sim::HostMember m;
        m.conn_ip = "192.168.100." + std::to_string(100 + i);
        m.conn_type = "windows-laptop-of-the-meeting-1"; // 31 characters, the widest the record holds
        m.conn_name = "conference-room-sender-" + std::to_string(1000000 + i);
        m.play_video = "false";
        m.play_audio = "false";
        m.media_num = i;
        members.push_back(m);
    }
    fleet.SetHostMembers(kMac, members);
    CompereList list{};
    ASSERT_EQ(device->GetCompereList(list), 0); // an answer of more than 4 KB
    EXPECT_EQ(LastPath(), "/do?action=read&section=compere_mode");
    ASSERT_EQ(list.num, 32);
    EXPECT_STREQ(list.devs[31].conn_ip, "192.168.100.131");
    EXPECT_STREQ(list.devs[31].conn_name, members[31].conn_name.c_str());
    EXPECT_EQ(list.devs[31].media_num, 31);

    // A count beyond the record's 32 entries is cut to what it holds.
    for (int i = 32; i < 40; ++i) members.push_back(members[0]);
    fleet.SetHostMembers(kMac, members);
    ASSERT_EQ(device->GetCompereList(list), 0);
    EXPECT_EQ(list.num, 32);

    CompereList untouched{};
    untouched.num = -5;
    Inject("compere_mode", FaultOf(FaultType::ErrCode, 1));
    EXPECT_EQ(device->GetCompereList(untouched), ZR_QM_ERR_DEV_REFUSED);
    EXPECT_EQ(untouched.num, -5);
}

TEST_F(RequestTest, HostMemberOperations) {
    talvo_sim::HostMember member;
    member.conn_ip = "192.168.1.5";
    fleet.SetHostMembers(kMac, {member});
    struct Case {
        int operation;
        const char *tail;
    } cases[] = {{0, "&vstart=true"},         {1, "&vstart=false"}, {2, "&single_display=true"},
                 {3, "&astart=true"},         {4, "&astart=false"}};
    for (const auto &c : cases) {
        EXPECT_EQ(device->SetCompereMember(c.operation, "192.168.1.5"), 0) << c.operation;
        EXPECT_EQ(LastPath(), std::string("/do?action=save&section=compere_mode&conn_ip=192%2e168%2e1%2e5") + c.tail);
    }
    EXPECT_EQ(device->SetCompereMember(9, "192.168.1.5"), ZR_QM_ERR_DEV_REFUSED); // the receiver wants more
    EXPECT_EQ(LastPath(), "/do?action=save&section=compere_mode&conn_ip=192%2e168%2e1%2e5");
}

TEST_F(RequestTest, MultiDisplayModeSendsWhatIsSetInItsOrder) {
    MulticastModeConfig mode{};
    ASSERT_EQ(device->GetMulticastMode(mode), 0);
    EXPECT_EQ(LastPath(), "/do?action=read&section=multi_mode");
    EXPECT_STREQ(mode.multi_display_rtsp_srv_addr, "rtsp://127.0.10.1:8554/live");

    MulticastModeConfig two{};
    std::strcpy(two.multi_display_enable, "false");
    std::strcpy(two.multi_display_multi_ip, "239.0.0.9");
    ASSERT_EQ(device->SetMulticastMode(two), 0);
    EXPECT_EQ(LastPath(), "/do?action=save&section=multi_mode&multi_display_enable=false"
                          "&multi_display_multi_ip=239%2e0%2e0%2e9");

    MulticastModeConfig all{};
    std::strcpy(all.multi_display_enable, "false");
    std::strcpy(all.multi_display_mode, "out");
    std::strcpy(all.multi_display_type, "rtsp");
    std::strcpy(all.multi_display_audio, "true");
    std::strcpy(all.multi_display_ip_enable, "true");
    std::strcpy(all.multi_display_multi_ip, "239.0.0.9");
    std::strcpy(all.multi_display_uni_ip, "127.0.10.2");
    const std::string rtsp = "rtsp://127.0.10.2:8554/" + std::string(255 - 23, 'r');
    ASSERT_EQ(rtsp.size(), 255u);
    std::strcpy(all.multi_display_rtsp_addr, rtsp.c_str());
    std::strcpy(all.multi_display_rtsp_srv_addr, "never sent");
    ASSERT_EQ(device->SetMulticastMode(all), 0);
    const auto sent = Last();
    EXPECT_EQ(sent.query.size(), 10u); // action, section and eight fields
    EXPECT_EQ(sent.query.count("multi_display_rtsp_srv_addr"), 0u);
    EXPECT_EQ(sent.query.at("multi_display_rtsp_addr"), rtsp); // whole
    const std::string order[] = {"multi_display_enable=",   "multi_display_mode=", "multi_display_type=",
                                 "multi_display_audio=",    "multi_display_ip_enable=",
                                 "multi_display_rtsp_addr=", "multi_display_uni_ip=", "multi_display_multi_ip="};
    size_t at = 0;
    for (const auto &key : order) {
        size_t found = sent.path.find("&" + key, at);
        ASSERT_NE(found, std::string::npos) << key;
        at = found + 1;
    }
    ASSERT_EQ(device->GetMulticastMode(mode), 0);
    EXPECT_EQ(std::string(mode.multi_display_rtsp_addr), rtsp);

    Inject("multi_mode", FaultOf(FaultType::ErrCode, -2));
    EXPECT_EQ(device->SetMulticastMode(two), ZR_QM_ERR_MULTICAST_IN_NINE);
    Inject("multi_mode", FaultOf(FaultType::ErrCode, 1));
    EXPECT_EQ(device->SetMulticastMode(two), ZR_QM_ERR_DEV_REFUSED);
}

} // namespace
} // namespace device_test
