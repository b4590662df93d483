// State refresh: the state machine on its own, then refreshes through the
// exports against simulated receivers that change between rounds; the state
// queries, their texts and the statistics.
#include <cstring>

#include "core/state_refresh.h"
#include "operations_fixture.h"

namespace {

using namespace korvel::testing;
using korvel::NextRefresh;
using korvel::RefreshRecord;

// ---- the state machine ----

RefreshRecord Online(int64_t since, uint32_t run_time, uint32_t missed = 0) {
    RefreshRecord record;
    record.state = ZR_QM_STATE_IDLE;
    record.online_since = since;
    record.run_time = run_time;
    record.missed = missed;
    return record;
}

RefreshRecord Offline(int64_t since, uint32_t run_time = 0, int state = ZR_QM_STATE_OFFLINE) {
    RefreshRecord record;
    record.state = state;
    record.offline_since = since;
    record.run_time = run_time;
    return record;
}

struct Transition {
    const char *what;
    RefreshRecord old;
    int state;
    uint32_t run_time;
    // expected
    int new_state;
    uint32_t duration; // online duration when online, else offline duration
    uint32_t missed, reboots, recorded_run_time;
    bool came_online;
};

TEST(StateMachineTest, Transitions) {
    const int64_t now = 1'700'000'000;
    const Transition cases[] = {
        {"new device comes online", Offline(now - 50), ZR_QM_STATE_IDLE, 300, 0, 0, 0, 0, 0, true},
        {"back after the receiver restarted", Offline(now - 50, 5000), ZR_QM_STATE_SHARE, 120, 1, 0, 0, 1, 5000, true},
        {"back reporting run time 0", Offline(now - 50, 5000), ZR_QM_STATE_IDLE, 0, 0, 0, 0, 0, 5000, true},
        {"back with a higher run time", Offline(now - 50, 5000), ZR_QM_STATE_IDLE, 5060, 0, 0, 0, 0, 5000, true},
        {"stays online", Online(now - 42, 100, 2), ZR_QM_STATE_UPGRADE, 142, 2, 42, 0, 0, 142, false},
        {"first miss keeps it online", Online(now - 42, 100), ZR_QM_STATE_OFFLINE, 0, 0, 0, 1, 0, 100, false},
        {"standby counts as a miss", Online(now - 42, 100, 1), ZR_QM_STATE_STANDBY, 150, 0, 0, 2, 0, 100, false},
        {"third miss goes offline", Online(now - 42, 100, 2), ZR_QM_STATE_OFFLINE, 0, 4, 0, 0, 0, 100, false},
        {"stays offline", Offline(now - 77), ZR_QM_STATE_OFFLINE, 0, 4, 77, 0, 0, 0, false},
        {"failed renewal while offline", Offline(now - 5), ZR_QM_STATE_UNKNOWN, 0, 5, 5, 0, 0, 0, false},
        {"standby device wakes up", Offline(now - 9, 800, ZR_QM_STATE_STANDBY), ZR_QM_STATE_IDLE, 900, 0, 0, 0, 0,
         800, true},
    };
    for (const Transition &c : cases) {
        bool came_online = false;
        RefreshRecord next = NextRefresh(c.old, c.state, c.run_time, now, came_online);
        const bool online = korvel::IsOnlineState(next.state);
        EXPECT_EQ(next.state, c.new_state) << c.what;
        EXPECT_EQ(online ? next.online_duration : next.offline_duration, c.duration) << c.what;
        EXPECT_EQ(next.missed, c.missed) << c.what;
        EXPECT_EQ(next.reboots, c.reboots) << c.what;
        EXPECT_EQ(next.run_time, c.recorded_run_time) << c.what;
        EXPECT_EQ(came_online, c.came_online) << c.what;
        if (c.came_online) {
            EXPECT_EQ(next.online_since, now) << c.what;
        }
        if (korvel::IsOnlineState(c.old.state) && !online) {
            EXPECT_EQ(next.offline_since, now) << c.what;
        }
    }
}

TEST(StateMachineTest, ClockGoingBackGivesZeroNotAHugeDuration) {
    bool came_online = false;
    RefreshRecord next = NextRefresh(Online(2000, 1), ZR_QM_STATE_IDLE, 2, 1000, came_online);
    EXPECT_EQ(next.online_duration, 0u);
}

// ---- texts ----

TEST(StateTextTest, TextsWithoutALibrary) {
    const std::pair<int, std::string> cases[] = {
        {0, "\xD4\xCB\xD0\xD0"},  // 运行
        {1, "\xCD\xB6\xC6\xC1"},  // 投屏
        {2, "\xC9\xFD\xBC\xB6"},  // 升级
        {3, "\xB4\xFD\xBB\xFA"},  // 待机
        {4, "\xB5\xF4\xCF\xDF"},  // 掉线
        {5, "\xB5\xF4\xCF\xDF"},  // 掉线
        {6, "\xB5\xF4\xCF\xDF"},  // outside 0..5: 掉线
        {-1, "\xB5\xF4\xCF\xDF"},
        {1 << 30, "\xB5\xF4\xCF\xDF"},
    };
    for (const auto &[state, text] : cases) {
        char out[32];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(ZR_QM_GetStateStrByEn(state, out), 0) << state;
        EXPECT_EQ(std::string(out), text) << state;
    }
    EXPECT_EQ(ZR_QM_GetStateStrByEn(0, nullptr), ZR_QM_ERR_PARAM);
}

// ---- refreshes against receivers ----

class StateRefreshTest : public OperationsTest {
protected:
    int Receivers() const override { return 2; }
    RefreshRecord RecordOf(const std::string &mac) { return DeviceOf(mac)->Refresh(); }
    // Refreshes until `mac` is online and has recorded its run time.
    void BringOnline(const std::string &mac) {
        RefreshRound();
        ASSERT_EQ(StateOf(mac), ZR_QM_STATE_IDLE);
        RefreshRound();
    }
};

TEST_F(StateRefreshTest, FirstRefreshBringsANewDeviceOnlineAndReadsItsIdentityAgain) {
    LogIn(macs[0]);
    fleet.SetVersion(macs[0], "TALVO_JX-V3.3.3");
    fleet.SetSetting(macs[0], talvo_sim::kDevStatus, "wifi_ssid_status", "Hall 7");
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_OFFLINE);
    RefreshRound();
    DeviceInfo info = InfoOf(macs[0]);
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE);
    EXPECT_EQ(info.StateDuration, 0u);
    EXPECT_EQ(info.RebootCount, 0u);
    EXPECT_EQ(std::string(info.Device_Ver), "TALVO_JX-V3.3.3");
    EXPECT_EQ(std::string(info.Wifi_SSID), "Hall 7");
    // The device that is not logged in comes online too; its identity reads fail quietly.
    EXPECT_EQ(StateOf(macs[1]), ZR_QM_STATE_IDLE);
}

TEST_F(StateRefreshTest, ThreeMissesInARowTakeAnOnlineDeviceOffline) {
    BringOnline(macs[0]);
    fleet.TakeOffline(macs[0]);
    for (uint32_t miss = 1; miss <= 2; ++miss) {
        RefreshRound();
        EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE) << "after miss " << miss;
        EXPECT_EQ(RecordOf(macs[0]).missed, miss);
    }
    RefreshRound();
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_OFFLINE);
    EXPECT_EQ(RecordOf(macs[0]).missed, 0u);
    EXPECT_EQ(InfoOf(macs[0]).StateDuration, 0u);
    EXPECT_EQ(InfoOf(macs[0]).RunTime, 0u);
    // The offline duration grows with later refreshes.
    EXPECT_TRUE(Eventually([&] {
        RefreshRound();
        return InfoOf(macs[0]).StateDuration >= 1;
    }));
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_OFFLINE);
}

TEST_F(StateRefreshTest, StandbyOnceThenIdleStaysOnline) {
    BringOnline(macs[0]);
    fleet.SetState(macs[0], "standby");
    RefreshRound();
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE);
    EXPECT_EQ(RecordOf(macs[0]).missed, 1u);
    fleet.SetState(macs[0], "idle");
    RefreshRound();
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE);
    EXPECT_EQ(RecordOf(macs[0]).missed, 0u);
    // The online duration grows while it stays online.
    EXPECT_TRUE(Eventually([&] {
        RefreshRound();
        return InfoOf(macs[0]).StateDuration >= 1;
    }));
}

TEST_F(StateRefreshTest, RebootIsCountedWhenTheReceiverComesBackWithALowerRunTime) {
    BringOnline(macs[0]);
    EXPECT_GE(InfoOf(macs[0]).RunTime, 5000u);
    auto go_away_and_back = [&](int refreshes_away, uint32_t run_time) {
        fleet.TakeOffline(macs[0]);
        for (int i = 0; i < refreshes_away; ++i) RefreshRound();
        fleet.SetRunTime(macs[0], run_time);
        fleet.BringBack(macs[0]);
        RefreshRound();
        RefreshRound();
    };
    go_away_and_back(3, 120);
    EXPECT_EQ(InfoOf(macs[0]).RebootCount, 1u);
    go_away_and_back(3, 0); // run time 0 says nothing
    EXPECT_EQ(InfoOf(macs[0]).RebootCount, 1u);
    go_away_and_back(2, 1); // never went offline: not counted
    EXPECT_EQ(InfoOf(macs[0]).RebootCount, 1u);
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE);
}

TEST_F(StateRefreshTest, HangingReceiverGetsOneRefreshAtATime) {
    BringOnline(macs[0]);
    fleet.ClearRequests(macs[0]);
    fleet.MakeUnresponsive(macs[0]);
    ASSERT_EQ(ZR_QM_UpdateAllDeviceState(), 0);
    ASSERT_TRUE(Eventually([&] { return CountOf(macs[0], "dev_state") == 1; }));
    // The other device's refreshes go on; this one's waits for its receiver.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Eventually([&] { return !DeviceOf(macs[1])->RefreshRunning(); }));
        ASSERT_EQ(ZR_QM_UpdateAllDeviceState(), 0);
    }
    ASSERT_TRUE(Eventually([&] { return !DeviceOf(macs[1])->RefreshRunning(); }));
    EXPECT_TRUE(DeviceOf(macs[0])->RefreshRunning());
    EXPECT_EQ(CountOf(macs[0], "dev_state"), 1);
    fleet.BringBack(macs[0]); // gives up the held connection
    ASSERT_TRUE(Eventually([&] { return !RefreshRunning(); }));
    RefreshRound();
    EXPECT_EQ(CountOf(macs[0], "dev_state"), 2);
}

TEST_F(StateRefreshTest, SessionRenewalOfTheStateQuery) {
    for (const std::string &mac : macs) {
        LogIn(mac);
        fleet.SetStateNeedsSession(mac, true);
        fleet.ExpireSessions(mac);
    }
    // macs[0] renews and comes online; macs[1] cannot log in any more.
    fleet.SetCredentials(macs[1], "TALVO", talvo_sim::Md5Hex("changed"));
    LogCapture log;
    RefreshRound();
    EXPECT_EQ(StateOf(macs[0]), ZR_QM_STATE_IDLE);
    EXPECT_EQ(StateOf(macs[1]), ZR_QM_STATE_UNKNOWN);
    EXPECT_TRUE(log.Contains("LoginDevice failed."));
    char text[32];
    EXPECT_EQ(ZR_QM_GetDeviceStateStr(macs[1].c_str(), text), 0);
    EXPECT_EQ(std::string(text), "\xB5\xF4\xCF\xDF"); // 掉线
}

TEST_F(StateRefreshTest, FailedRefreshChangesNothing) {
    BringOnline(macs[0]);
    RefreshRecord before = RecordOf(macs[0]);
    fleet.InjectFault(macs[0], "dev_state", Always(talvo_sim::FaultType::Status, 500));
    LogCapture log;
    RefreshRound();
    RefreshRecord after = RecordOf(macs[0]);
    EXPECT_TRUE(log.Contains("GetDeviceState failed."));
    EXPECT_EQ(after.state, before.state);
    EXPECT_EQ(after.missed, 0u);
    EXPECT_EQ(after.run_time, before.run_time);
    EXPECT_EQ(after.online_since, before.online_since);
}

TEST_F(StateRefreshTest, StateQueriesReportTheStoredState) {
    SetStoredState(macs[0], ZR_QM_STATE_SHARE);
    char text[32];
    EXPECT_EQ(ZR_QM_GetDeviceStateStr(macs[0].c_str(), text), 0);
    EXPECT_EQ(std::string(text), "\xCD\xB6\xC6\xC1"); // 投屏
    int state = -1;
    EXPECT_EQ(ZR_QM_GetDeviceState(macs[0].c_str(), &state), 0);
    EXPECT_EQ(state, ZR_QM_STATE_SHARE);

    LogCapture log;
    std::strcpy(text, "unchanged");
    EXPECT_EQ(ZR_QM_GetDeviceStateStr("02:00:00:00:00:99", text), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(std::string(text), "\xB5\xF4\xCF\xDF"); // 掉线
    EXPECT_EQ(ZR_QM_GetDeviceState("02:00:00:00:00:99", &state), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_TRUE(log.Contains("get device by mac address failed, mac address:02:00:00:00:00:99."));
    EXPECT_EQ(ZR_QM_GetDeviceState(macs[0].c_str(), nullptr), ZR_QM_ERR_PARAM);
    EXPECT_TRUE(NothingReceived());
}

class StatisticsTest : public OperationsTest {
protected:
    int Receivers() const override { return 6; }
};

TEST_F(StatisticsTest, EachStateAddsToItsCounter) {
    for (int state = 0; state < 6; ++state) SetStoredState(macs[static_cast<size_t>(state)], state);
    DeviceStatistics statistics{10, 20, 30}; // added to, not cleared
    EXPECT_EQ(ZR_QM_GetDevStatistics(&statistics), 0);
    EXPECT_EQ(statistics.offline_num, 12u);
    EXPECT_EQ(statistics.online_num, 22u);
    EXPECT_EQ(statistics.share_num, 31u);
    EXPECT_EQ(ZR_QM_GetDevStatistics(nullptr), ZR_QM_ERR_PARAM);
}

TEST_F(StatisticsTest, UpdateWithoutDevicesReturnsZero) {
    for (const std::string &mac : macs) ASSERT_EQ(ZR_QM_DelDevice(mac.c_str()), 0);
    EXPECT_EQ(ZR_QM_UpdateAllDeviceState(), 0);
    DeviceStatistics statistics{};
    EXPECT_EQ(ZR_QM_GetDevStatistics(&statistics), 0);
    EXPECT_EQ(statistics.offline_num + statistics.online_num + statistics.share_num, 0u);
}

} // namespace
