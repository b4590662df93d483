// Login, logout and the two status queries against a simulated receiver.
#include <regex>

#include "sim_device.h"

namespace device_test {
namespace {

using talvo_sim::FaultType;

using SessionTest = SimDeviceTest;

TEST_F(SessionTest, LoginSendsTheIdentityAndKeepsTheCookie) {
    ASSERT_EQ(device->Login(kUser, PasswordMd5().c_str()), 0);
    const auto login = Last();
    EXPECT_EQ(login.method, "GET");
    EXPECT_EQ(login.path, "/do?action=login&username=TALVO&password=" + PasswordMd5() +
                              "&devicetype=DeviceManagerSoftware&odmname=TALVO&productid=KARVEN");
    EXPECT_EQ(login.cookie, ""); // a login carries no cookie
    EXPECT_TRUE(device->LoggedIn());
    const std::string cookie = device->Cookie();
    EXPECT_TRUE(std::regex_match(cookie, std::regex(" sessionid=[0-9a-f]+; username=TALVO;"))) << cookie;

    DeviceNetStatus status{};
    ASSERT_EQ(device->GetNetStatus(status), 0);
    EXPECT_EQ(Last().cookie, OnTheWire(cookie)); // the next request carries it as it stands
    EXPECT_EQ(fleet.Snapshot(kMac).sessions, 1);
}

TEST_F(SessionTest, RefusedLoginEndsTheSession) {
    LogIn();
    EXPECT_EQ(device->Login(kUser, talvo_sim::Md5Hex("wrong").c_str()), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_FALSE(device->LoggedIn());
    EXPECT_EQ(device->Cookie(), "");
    const size_t sent = Requests().size();
    DeviceNetStatus status{};
    EXPECT_EQ(device->GetNetStatus(status), ZR_QM_ERR_DEV_NO_SESSION);
    EXPECT_EQ(Requests().size(), sent); // nothing went out
}

TEST_F(SessionTest, FailedLoginsReturnTheirCauseAndKeepTheSession) {
    LogIn();
    const std::string cookie = device->Cookie();
    struct Case {
        talvo_sim::Fault fault;
        int result;
    } cases[] = {{FaultOf(FaultType::BrokenBody), ZR_QM_ERR_JSON},
                 {FaultOf(FaultType::Status, 500), ZR_QM_ERR_HTTP_500},
                 {FaultOf(FaultType::Status, 302), ZR_QM_ERR_HTTP},
                 {FaultOf(FaultType::Unauthorized), ZR_QM_ERR_HTTP_401},
                 {FaultOf(FaultType::Close), -1}};
    for (const auto &c : cases) {
        Inject("login", c.fault);
        EXPECT_EQ(device->Login(kUser, PasswordMd5().c_str()), c.result) << static_cast<int>(c.fault.type);
        EXPECT_TRUE(device->LoggedIn());
        EXPECT_EQ(device->Cookie(), cookie);
    }
    fleet.TakeOffline(kMac);
    EXPECT_EQ(device->Login(kUser, PasswordMd5().c_str()), ZR_QM_ERR_CONNECT); // the transport's own code
    EXPECT_TRUE(device->LoggedIn());
}

TEST_F(SessionTest, LoginWithStoresOnlyAWholeNewPair) {
    // Only a user name: the stored pair logs in and nothing is stored.
    EXPECT_EQ(device->LoginWith("someone", nullptr), 0);
    EXPECT_EQ(device->UserName(), kUser);
    EXPECT_EQ(device->LoginWith(nullptr, nullptr), 0);

    const std::string digest = talvo_sim::Md5Hex("new-secret");
    fleet.SetCredentials(kMac, "operator2", digest);
    EXPECT_EQ(device->LoginWith(nullptr, nullptr), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_EQ(device->LoginWith("operator2", talvo_sim::Md5Hex("wrong").c_str()), ZR_QM_ERR_DEV_LOGIN);
    EXPECT_EQ(device->UserName(), kUser); // a refused pair is not stored
    EXPECT_EQ(device->LoginWith("operator2", digest.c_str()), 0);
    EXPECT_EQ(device->UserName(), "operator2");
    EXPECT_EQ(device->PasswordMd5(), digest);
    EXPECT_EQ(device->Cookie().find(" username=operator2;") != std::string::npos, true);
}

// The logout carries the session it ends, even when no request has used the
// persistent handle since the login.
TEST_F(SessionTest, LogoutEndsTheReceiversSession) {
    LogIn();
    const std::string cookie = device->Cookie();
    ASSERT_EQ(fleet.Snapshot(kMac).sessions, 1);
    EXPECT_EQ(device->Logout(), 0);
    EXPECT_EQ(Last().path, "/do?action=logout&section=logout");
    EXPECT_EQ(Last().cookie, OnTheWire(cookie));
    EXPECT_EQ(fleet.Snapshot(kMac).sessions, 0);
    EXPECT_FALSE(device->LoggedIn());
    EXPECT_EQ(device->Cookie(), cookie); // the text stays

    Inject("logout", FaultOf(FaultType::BrokenBody));
    EXPECT_EQ(device->Logout(), ZR_QM_ERR_JSON);
    fleet.TakeOffline(kMac);
    EXPECT_EQ(device->Logout(), ZR_QM_ERR_CONNECT);
}

using StateTest = SimDeviceTest;

struct StateCase {
    const char *name;
    std::function<void(talvo_sim::Fleet &)> arrange;
    int result;
    int state;
    int run_time; // -1: left as it was
};

TEST_F(StateTest, ClassifiesEveryAnswer) {
    const std::string foreign = "02:00:00:00:00:99";
    const StateCase cases[] = {
        {"share", [](auto &f) { f.SetState(kMac, "share"); }, 0, ZR_QM_STATE_SHARE, 7200},
        {"upgrade", [](auto &f) { f.SetState(kMac, "upgrade"); }, 0, ZR_QM_STATE_UPGRADE, 7200},
        {"standby", [](auto &f) { f.SetState(kMac, "standby"); }, 0, ZR_QM_STATE_STANDBY, 7200},
        {"other case", [](auto &f) { f.SetState(kMac, "Share"); }, 0, ZR_QM_STATE_IDLE, 7200},
        {"unknown text", [](auto &f) { f.SetState(kMac, "dreaming"); }, 0, ZR_QM_STATE_IDLE, 7200},
        {"unreachable", [](auto &f) { f.TakeOffline(kMac); }, 0, ZR_QM_STATE_OFFLINE, -1},
        {"404", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::Status, 404)); }, 0,
         ZR_QM_STATE_OFFLINE, -1},
        {"401", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::Unauthorized)); },
         ZR_QM_ERR_HTTP_401, ZR_QM_STATE_IDLE, -1},
        {"foreign MAC", [&](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::ForeignMac, 0, foreign)); },
         0, ZR_QM_STATE_OFFLINE, 0},
        {"err_code", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::ErrCode, 5)); }, 0,
         ZR_QM_STATE_IDLE, -1},
        {"not JSON", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::BrokenBody)); },
         ZR_QM_ERR_JSON, ZR_QM_STATE_IDLE, -1},
        {"500", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::Status, 500)); },
         ZR_QM_ERR_HTTP_500, -7, -1},
        {"302", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::Status, 302)); }, ZR_QM_ERR_HTTP,
         -7, -1},
        {"closed", [](auto &f) { f.InjectFault(kMac, "dev_state", FaultOf(FaultType::Close)); }, -1, -7, -1},
    };
    for (const auto &c : cases) {
        fleet.BringBack(kMac);
        fleet.ClearFaults(kMac);
        fleet.SetState(kMac, "idle");
        fleet.SetRunTime(kMac, 7200);
        c.arrange(fleet);
        int state = -7;
        int run_time = -1;
        EXPECT_EQ(device->GetState(state, run_time), c.result) << c.name;
        EXPECT_EQ(state, c.state) << c.name;
        if (c.run_time == 7200) {
            EXPECT_GE(run_time, 7200) << c.name; // the receiver's clock runs on
            EXPECT_LT(run_time, 7200 + 600) << c.name;
        } else {
            EXPECT_EQ(run_time, c.run_time) << c.name;
        }
    }
}

TEST_F(StateTest, NeedsNoSessionAndSendsTheCookieItHas) {
    int state = -1;
    int run_time = -1;
    EXPECT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_IDLE);
    EXPECT_EQ(LastPath(), "/do?action=read&section=dev_state");
    EXPECT_EQ(Last().cookie, "");
    LogIn();
    EXPECT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(Last().cookie, OnTheWire(device->Cookie()));
}

TEST_F(StateTest, ADeviceWithoutMacTakesAnyAnswer) {
    korvel::Device unnamed(kAddress, kUser, PasswordMd5().c_str());
    fleet.SetState(kMac, "share");
    int state = -1;
    int run_time = -1;
    EXPECT_EQ(unnamed.GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_SHARE);
}

// Receivers sit on the local network: a proxy named by the environment never
// sees their requests.
TEST_F(StateTest, EnvironmentProxiesAreIgnored) {
    const char *names[] = {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"};
    for (const char *name : names) setenv(name, "http://127.0.99.1:3128", 1);
    int state = -1;
    int run_time = -1;
    fleet.SetState(kMac, "share");
    EXPECT_EQ(device->GetState(state, run_time), 0);
    EXPECT_EQ(state, ZR_QM_STATE_SHARE);
    EXPECT_EQ(device->Login(kUser, PasswordMd5().c_str()), 0);
    DeviceNetStatus status{};
    EXPECT_EQ(device->GetNetStatus(status), 0);
    for (const char *name : names) unsetenv(name);
}

using NetStatusTest = SimDeviceTest;

TEST_F(NetStatusTest, CopiesTheStatusAndRenamesTheDevice) {
    LogIn();
    DeviceNetStatus status{};
    ASSERT_EQ(device->GetNetStatus(status), 0);
    EXPECT_EQ(LastPath(), "/do?action=read&section=dev_status");
    EXPECT_STREQ(status.wired_ipaddr_status, kAddress);
    EXPECT_STREQ(status.dev_mac, kMac);
    EXPECT_STREQ(status.wifi_fre_stauts, "g5");
    EXPECT_EQ(device->Name(), status.wifi_ssid_status);
    EXPECT_NE(device->Name(), "");

    fleet.SetSetting(kMac, talvo_sim::kDevStatus, "wifi_ssid_status", "");
    ASSERT_EQ(device->GetNetStatus(status), 0);
    EXPECT_EQ(device->Name(), ""); // even to an empty name
}

TEST_F(NetStatusTest, AnswerRules) {
    DeviceNetStatus untouched{};
    std::strcpy(untouched.wifi_ssid_status, "keep");
    EXPECT_EQ(device->GetNetStatus(untouched), ZR_QM_ERR_DEV_NO_SESSION);
    LogIn();
    struct Case {
        talvo_sim::Fault fault;
        int result;
    } cases[] = {{FaultOf(FaultType::ErrCode, 1), -1},
                 {FaultOf(FaultType::ForeignMac), -1},
                 {FaultOf(FaultType::BrokenBody), ZR_QM_ERR_JSON},
                 {FaultOf(FaultType::OversizedBody, 70000), ZR_QM_ERR_JSON},
                 {FaultOf(FaultType::Unauthorized), ZR_QM_ERR_HTTP_401},
                 {FaultOf(FaultType::Status, 503), ZR_QM_ERR_HTTP_503},
                 {FaultOf(FaultType::Close), -1}};
    for (const auto &c : cases) {
        // Until cleared: libcurl sends a request again once when a kept-alive
        // connection closes before any answer.
        InjectUntilCleared("dev_status", c.fault);
        EXPECT_EQ(device->GetNetStatus(untouched), c.result) << static_cast<int>(c.fault.type);
        EXPECT_STREQ(untouched.wifi_ssid_status, "keep");
        fleet.ClearFaults(kMac);
    }
    EXPECT_NE(device->Name(), "keep");
}

} // namespace
} // namespace device_test
