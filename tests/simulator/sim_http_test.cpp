// The HTTP service of a simulated receiver, driven with libcurl: sessions,
// reads and saves, passwords, commands and presence.
#include "fleet_fixture.h"

namespace sim_test {
namespace {

using talvo_sim::Md5Hex;

class HttpTest : public FleetTest {};

TEST_F(HttpTest, LoginGivesASessionThatLaterRequestsNeedUntilLogout) {
    HttpResult refused = Get(kAddress, "/do?action=login&username=TALVO&password=" + Md5Hex("wrong") +
                                           "&devicetype=DeviceManagerSoftware&odmname=TALVO&productid=KARVEN");
    ASSERT_EQ(refused.status, 200);
    EXPECT_EQ(Member(Parse(refused.body).get(), "result"), "0");

    std::string cookie = LoginCookie(kAddress);
    ASSERT_FALSE(cookie.empty());
    EXPECT_EQ(Read("dev_status", cookie).status, 200);
    EXPECT_EQ(Read("dev_status", "").status, 401);
    EXPECT_EQ(Read("dev_status", " sessionid=0123; username=TALVO;").status, 401);

    HttpResult logout = Get(kAddress, "/do?action=logout&section=logout", cookie);
    EXPECT_EQ(Member(Parse(logout.body).get(), "result"), "1");
    EXPECT_EQ(Read("dev_status", cookie).status, 401);
}

TEST_F(HttpTest, LoginAnswerHasTheProtocolForm) {
    HttpResult login = Get(kAddress, "/do?action=login&username=TALVO&password=" + Md5Hex("WQZNE847") +
                                         "&devicetype=DeviceManagerSoftware&odmname=TALVO&productid=KARVEN");
    Json answer = Parse(login.body);
    ASSERT_TRUE(answer);
    EXPECT_EQ(Member(answer.get(), "err_code"), "0");
    EXPECT_EQ(Member(answer.get(), "result"), "1");
    std::string id = Member(answer.get(), "sessionId");
    EXPECT_FALSE(id.empty());
    EXPECT_LE(id.size(), 39u);
}

TEST_F(HttpTest, ExpiredSessionsGet401) {
    std::string cookie = LoginCookie(kAddress);
    fleet.ExpireSessions(kMac);
    EXPECT_EQ(Read("net_settings", cookie).status, 401);
}

TEST_F(HttpTest, StateQueryAnswersWithoutSessionUnlessConfigured) {
    fleet.SetState(kMac, "share");
    HttpResult state = Read("dev_state", "");
    ASSERT_EQ(state.status, 200);
    Json answer = Parse(state.body);
    EXPECT_EQ(Member(answer.get(), "err_code"), "0");
    EXPECT_EQ(Member(answer.get(), "result.dev_state"), "share");
    EXPECT_GE(std::stoi(Member(answer.get(), "result.dev_runtime")), 5000);
    EXPECT_EQ(Member(answer.get(), "result.dev_mac"), kMac);

    fleet.SetStateNeedsSession(kMac, true);
    EXPECT_EQ(Read("dev_state", "").status, 401);
    EXPECT_EQ(Read("dev_state", LoginCookie(kAddress)).status, 200);
}

TEST_F(HttpTest, ReadsAnswerEverySectionWithReadOnlyMembersFilled) {
    std::string cookie = LoginCookie(kAddress);
    Json net = Parse(Read("net_settings", cookie).body);
    EXPECT_EQ(Member(net.get(), "result.dev_type"), "TALVO_JX");
    EXPECT_EQ(Member(net.get(), "result.dev_ver_info"), "TALVO_JX-V2.1.0");
    EXPECT_EQ(Member(net.get(), "result.dev_mac"), kMac);
    EXPECT_EQ(Member(net.get(), "result.wifi_ssid"), "TALVO-0001");

    const std::vector<std::pair<std::string, std::string>> members{
        {"dev_status", "result.wired_ipaddr_status"}, {"dev_status", "result.wifi_fre_stauts"},
        {"video_out", "result.video_hdmi_resu"},      {"pin_code", "result.use_input_code"},
        {"multi_mode", "result.multi_display_rtsp_srv_addr"},
    };
    for (const auto &[section, member] : members) {
        Json answer = Parse(Read(section, cookie).body);
        ASSERT_TRUE(answer) << section;
        EXPECT_EQ(Member(answer.get(), "err_code"), "0") << section;
        EXPECT_FALSE(Member(answer.get(), member).empty()) << section << " " << member;
    }
    EXPECT_EQ(ReadMember("dev_status", "result.wired_ipaddr_status"), kAddress);
}

TEST_F(HttpTest, SavesChangeWhatLaterReadsReturn) {
    struct Case {
        std::string section, query, member, expected;
    };
    const std::vector<Case> cases{
        {"net_settings", "wifi_on=true&wifi_ssid=Room%201%2dA", "result.wifi_ssid", "Room 1-A"},
        {"net_settings", "router_wifi_ssid=Office&router_passwd=secret", "result.router_wifi_ssid", "Office"},
        {"net_settings", "dev_mac=00%3a00", "result.dev_mac", kMac}, // read only
        {"video_out", "sound_volume=35&osd_on=false", "result.sound_volume", "35"},
        {"pin_code", "use_input_code=true&input_code=9999", "result.input_code", "2580"}, // read only
        {"pin_code", "use_input_code=true", "result.use_input_code", "true"},
        {"multi_mode", "multi_display_enable=true&multi_display_uni_ip=127%2e0%2e0%2e9", "result.multi_display_uni_ip",
         "127.0.0.9"},
    };
    std::string cookie = LoginCookie(kAddress);
    for (const Case &c : cases) {
        HttpResult saved = Get(kAddress, "/do?action=save&section=" + c.section + "&" + c.query, cookie);
        ASSERT_EQ(saved.status, 200) << c.query;
        EXPECT_EQ(Member(Parse(saved.body).get(), "err_code"), "0") << c.query;
        EXPECT_EQ(Member(Parse(Read(c.section, cookie).body).get(), c.member), c.expected) << c.query;
    }
    // The network status follows the hotspot settings, and so does discovery's name.
    EXPECT_EQ(Member(Parse(Read("dev_status", cookie).body).get(), "result.wifi_ssid_status"), "Room 1-A");
    EXPECT_EQ(fleet.GetSettings(kMac, talvo_sim::kNetSettings)["wifi_ssid"], "Room 1-A");
}

TEST_F(HttpTest, NinePictureDisplayAndMulticastExcludeEachOther) {
    std::string cookie = LoginCookie(kAddress);
    auto save = [&](const std::string &section, const std::string &query) {
        return Member(Parse(Get(kAddress, "/do?action=save&section=" + section + "&" + query, cookie).body).get(),
                      "err_code");
    };
    EXPECT_EQ(save("multi_mode", "multi_display_enable=true&multi_display_type=multicast"), "0");
    EXPECT_EQ(save("video_out", "display_mode=3"), "-2");
    EXPECT_EQ(ReadMember("video_out", "result.display_mode"), "0");
    EXPECT_EQ(save("video_out", "display_mode=1"), "0");

    EXPECT_EQ(save("multi_mode", "multi_display_enable=false"), "0");
    EXPECT_EQ(save("video_out", "display_mode=2"), "0");
    EXPECT_EQ(save("multi_mode", "multi_display_enable=true"), "-2");
    EXPECT_EQ(ReadMember("multi_mode", "result.multi_display_enable"), "false");
    EXPECT_EQ(save("multi_mode", "multi_display_enable=true&multi_display_type=unicast"), "0");
}

TEST_F(HttpTest, LoginPasswordChangeNeedsTheOldDigestAndTakesEffect) {
    std::string cookie = LoginCookie(kAddress);
    std::string base = "/do?action=update&section=QM_login_pwd&admin_pwd_old=";
    HttpResult wrong = Get(kAddress, base + Md5Hex("nope") + "&admin_pwd_new=" + Md5Hex("new"), cookie);
    EXPECT_EQ(Member(Parse(wrong.body).get(), "err_code"), "1");
    HttpResult right = Get(kAddress, base + Md5Hex("WQZNE847") + "&admin_pwd_new=" + Md5Hex("new"), cookie);
    EXPECT_EQ(Member(Parse(right.body).get(), "err_code"), "0");
    EXPECT_TRUE(LoginCookie(kAddress, "TALVO", "WQZNE847").empty());
    EXPECT_FALSE(LoginCookie(kAddress, "TALVO", "new").empty());

    std::string web = "/do?action=update&section=login_pwd&admin_pwd_old=" + Md5Hex("admin") +
                      "&admin_pwd_new=" + Md5Hex("web2");
    EXPECT_EQ(Member(Parse(Get(kAddress, web, cookie).body).get(), "err_code"), "0");
    EXPECT_EQ(fleet.Snapshot(kMac).config.web_password_md5, Md5Hex("web2"));
}

TEST_F(HttpTest, CommandsChangeTheReceiver) {
    std::string cookie = LoginCookie(kAddress);
    auto command = [&](const std::string &query) {
        return Member(Parse(Get(kAddress, "/do?" + query, cookie).body).get(), "err_code");
    };
    EXPECT_EQ(command("action=close&section=dev_wifi"), "0");
    EXPECT_EQ(ReadMember("net_settings", "result.wifi_on"), "false");
    EXPECT_EQ(command("action=open&section=dev_wifi"), "0");
    EXPECT_EQ(ReadMember("dev_status", "result.wifi_on_status"), "true");
    EXPECT_EQ(command("action=sleep&section=dev_control"), "0");
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "standby");
    EXPECT_EQ(command("action=wakeup&section=dev_control"), "0");
    EXPECT_EQ(Member(Parse(Read("dev_state", "").body).get(), "result.dev_state"), "idle");
    EXPECT_EQ(Get(kAddress, "/do?action=&section=", cookie).status, 404);
}

TEST_F(HttpTest, RebootTakesTheReceiverAwayAndBackWithALowRunTime) {
    std::string cookie = LoginCookie(kAddress);
    for (const std::string query : {"action=reboot&section=dev_reboot", "action=reboot&section=dev_control"}) {
        int reboots = fleet.Snapshot(kMac).reboots;
        EXPECT_EQ(Member(Parse(Get(kAddress, "/do?" + query, cookie).body).get(), "err_code"), "0");
        EXPECT_TRUE(Eventually([&] { return fleet.Snapshot(kMac).reboots == reboots + 1; })) << query;
        HttpResult state = Read("dev_state", "");
        ASSERT_EQ(state.status, 200);
        EXPECT_LT(std::stoi(Member(Parse(state.body).get(), "result.dev_runtime")), 100);
        EXPECT_EQ(Read("net_settings", cookie).status, 401) << "sessions end with a reboot";
        cookie = LoginCookie(kAddress);
    }
}

TEST_F(HttpTest, FactoryResetRestoresTheSettingsAsAdded) {
    std::string cookie = LoginCookie(kAddress);
    Get(kAddress, "/do?action=save&section=video_out&sound_volume=3", cookie);
    Get(kAddress, "/do?action=reset&section=dev_reset", cookie);
    EXPECT_TRUE(Eventually([&] { return fleet.Snapshot(kMac).reboots == 1; }));
    EXPECT_EQ(fleet.GetSettings(kMac, talvo_sim::kVideoOut)["sound_volume"], "80");
}

TEST_F(HttpTest, ShutdownKeepsTheReceiverAwayUntilBroughtBack) {
    Get(kAddress, "/do?action=shutdown&section=dev_control", LoginCookie(kAddress));
    EXPECT_TRUE(Eventually([&] { return Read("dev_state", "").code == CURLE_COULDNT_CONNECT; }));
    fleet.BringBack(kMac);
    EXPECT_EQ(Read("dev_state", "").status, 200);
}

TEST_F(HttpTest, OfflineRefusesAndUnresponsiveNeverAnswers) {
    fleet.TakeOffline(kMac);
    EXPECT_EQ(Read("dev_state", "").code, CURLE_COULDNT_CONNECT);
    fleet.BringBack(kMac);
    EXPECT_EQ(Read("dev_state", "").status, 200);

    fleet.MakeUnresponsive(kMac);
    HttpResult silent = Get(kAddress, "/do?action=read&section=dev_state", "", 1000);
    EXPECT_EQ(silent.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_EQ(fleet.Snapshot(kMac).presence, talvo_sim::Presence::Unresponsive);
    fleet.BringBack(kMac);
    EXPECT_EQ(Read("dev_state", "").status, 200);
}

TEST_F(HttpTest, BringingBackAnUnresponsiveReceiverDropsTheRequestsItHeld) {
    fleet.MakeUnresponsive(kMac);
    fleet.ClearRequests(kMac);
    HttpResult held;
    std::thread client([&] { held = Get(kAddress, "/do?action=read&section=dev_state", "", 60000); });
    EXPECT_TRUE(Eventually([&] { return fleet.Requests(kMac).size() == 1; }));
    fleet.BringBack(kMac);
    client.join();
    EXPECT_EQ(held.code, CURLE_GOT_NOTHING);
    EXPECT_EQ(Read("dev_state", "").status, 200);
}

TEST_F(HttpTest, HostModeListsMembersAndAppliesOperations) {
    std::vector<talvo_sim::HostMember> members(2);
    members[0].conn_ip = "192.168.49.10";
    members[0].conn_name = "laptop";
    members[1].conn_ip = "192.168.49.11";
    members[1].conn_name = "phone";
    members[1].play_video = "true";
    fleet.SetHostMembers(kMac, members);
    std::string cookie = LoginCookie(kAddress);

    Json list = Parse(Read("compere_mode", cookie).body);
    EXPECT_EQ(Member(list.get(), "result.num"), "2");
    const cJSON *devs = cJSON_GetObjectItemCaseSensitive(cJSON_GetObjectItemCaseSensitive(list.get(), "result"), "devs");
    ASSERT_EQ(cJSON_GetArraySize(devs), 2);
    EXPECT_EQ(Member(cJSON_GetArrayItem(devs, 0), "conn_name"), "laptop");
    EXPECT_EQ(Member(cJSON_GetArrayItem(devs, 0), "media_num"), "0");

    auto operate = [&](const std::string &query) {
        return Member(Parse(Get(kAddress, "/do?action=save&section=compere_mode&" + query, cookie).body).get(),
                      "err_code");
    };
    EXPECT_EQ(operate("conn_ip=192%2e168%2e49%2e10&single_display=true"), "0");
    auto now = fleet.Snapshot(kMac).config.host_members;
    EXPECT_EQ(now[0].play_video, "true");
    EXPECT_EQ(now[1].play_video, "false");
    EXPECT_EQ(operate("conn_ip=192%2e168%2e49%2e11&astart=true"), "0");
    EXPECT_EQ(fleet.Snapshot(kMac).config.host_members[1].play_audio, "true");
    EXPECT_EQ(operate("conn_ip=10%2e0%2e0%2e1&vstart=true"), "1");
    EXPECT_EQ(operate("conn_ip=192%2e168%2e49%2e10"), "1");
}

TEST_F(HttpTest, RequestLogKeepsMethodRawPathAndCookie) {
    std::string cookie = LoginCookie(kAddress);
    fleet.ClearRequests(kMac);
    Get(kAddress, "/do?action=save&section=net_settings&wifi_on=true&wifi_ssid=Room%201%2dA", cookie);
    auto requests = fleet.Requests(kMac);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].protocol, "http");
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/do?action=save&section=net_settings&wifi_on=true&wifi_ssid=Room%201%2dA");
    EXPECT_EQ(requests[0].action, "save");
    EXPECT_EQ(requests[0].section, "net_settings");
    EXPECT_EQ(requests[0].query.at("wifi_ssid"), "Room 1-A");
    EXPECT_EQ(" " + requests[0].cookie, cookie) << "HTTP drops the blank before a header value";
}

TEST(FleetApi, RefusesBadReceiversAndUnknownMacs) {
    talvo_sim::Fleet fleet;
    talvo_sim::ReceiverConfig receiver;
    receiver.mac = "02:54:56:AB:00:01";
    receiver.address = "127.0.11.1";
    EXPECT_THROW(fleet.Add(receiver), std::logic_error) << "not started";
    fleet.Start();
    fleet.Add(receiver);
    EXPECT_THROW(fleet.Add(receiver), std::invalid_argument) << "same MAC";
    receiver.mac = "02:54:56:00:00:02";
    EXPECT_THROW(fleet.Add(receiver), std::invalid_argument) << "same address";
    receiver.address = "10.0.0.1";
    EXPECT_THROW(fleet.Add(receiver), std::invalid_argument) << "outside 127/8";
    EXPECT_THROW(fleet.SetState("02:54:56:00:00:77", "idle"), std::out_of_range);
    EXPECT_NO_THROW(fleet.SetState("02:54:56:ab:00:01", "share")) << "case-insensitive";
    fleet.Remove("02:54:56:AB:00:01");
    EXPECT_EQ(Get("127.0.11.1", "/do?action=read&section=dev_state").code, CURLE_COULDNT_CONNECT);
}

} // namespace
} // namespace sim_test
