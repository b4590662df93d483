// The batch engine through the exports, against simulated receivers:
// summaries, skipped devices, calls ended by an absent MAC, the shared file,
// the progress reads, the background system update and its workers at stop.
#include <cstring>

#include "operations_fixture.h"

namespace {

using namespace korvel::testing;
using talvo_sim::FaultType;
using talvo_sim::Md5Hex;

class BatchTest : public OperationsTest {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        AllReady();
    }
    MacSlots All() { return MacSlots(macs); }
};

TEST_F(BatchTest, SummaryOfReceiversThatAcceptOrRefuse) {
    struct Case {
        std::vector<int> refusing;
        int result;
    };
    for (const Case &c : {Case{{}, 0}, Case{{1}, ZR_QM_ERR_BATCH_PARTIAL}, Case{{0, 1, 2}, ZR_QM_ERR_BATCH_FAILED}}) {
        for (int i : c.refusing) fleet.InjectFault(macs[i], "dev_reboot", Once(FaultType::ErrCode, 1));
        ClearAllRequests();
        EXPECT_EQ(ZR_QM_BatchDeviceReboot(All().data(), All().count()), c.result) << c.refusing.size() << " refusing";
        for (const std::string &mac : macs) EXPECT_GE(CountOf(mac, "dev_reboot"), 1) << mac;
        // Accepting receivers restart; their sessions are renewed by the next call.
        EXPECT_TRUE(Eventually([&] { return AllAnswering(); }));
    }
}

// Devices loaded from the store or adopted from a search hold no session
// until something logs in; a batch logs each of them in first.
TEST_F(BatchTest, DevicesThatNeverLoggedInAreLoggedInByTheirWorker) {
    for (const std::string &mac : macs) ASSERT_EQ(ZR_QM_LogoutDevice(mac.c_str()), 0);
    ClearAllRequests();
    EXPECT_EQ(ZR_QM_BatchDeviceFactoryReset(All().data(), All().count()), 0);
    for (const std::string &mac : macs) {
        EXPECT_EQ(CountOf(mac, "login"), 1) << mac;
        EXPECT_EQ(CountOf(mac, "dev_reset"), 1) << mac;
    }
}

TEST_F(BatchTest, SkippedDevicesCountAsFailures) {
    SetStoredState(macs[2], ZR_QM_STATE_STANDBY);
    LogCapture log;
    EXPECT_EQ(ZR_QM_BatchSetDeviceWifi(All().data(), All().count(), 1), ZR_QM_ERR_BATCH_PARTIAL);
    EXPECT_TRUE(log.Contains("device is not online, not allowed operate."));
    EXPECT_EQ(CountOf(macs[0], "dev_wifi"), 1);
    EXPECT_EQ(CountOf(macs[2], "dev_wifi"), 0);

    // An absent MAC does not end these calls; it gets no worker.
    MacSlots with_absent{macs[0], "02:00:00:00:00:99", macs[1]};
    EXPECT_EQ(ZR_QM_BatchDeviceContol(with_absent.data(), with_absent.count(), 1), ZR_QM_ERR_BATCH_PARTIAL);
    EXPECT_TRUE(log.Contains("BatchDeviceContol() get device by mac address failed"));
    EXPECT_EQ(CountOf(macs[1], "dev_control"), 1);

    MacSlots skipped_only{macs[2], "02:00:00:00:00:99"};
    EXPECT_EQ(ZR_QM_BatchDeviceFactoryReset(skipped_only.data(), skipped_only.count()), ZR_QM_ERR_BATCH_FAILED);
    EXPECT_EQ(CountOf(macs[2], "dev_reset"), 0);
}

TEST_F(BatchTest, EmptyListsStartNothing) {
    const std::string image = files.Write("image.bin", "x");
    const std::vector<std::pair<const char *, std::function<int()>>> calls = {
        {"BatchSetDeviceLoginPWD", [] { return ZR_QM_BatchSetDeviceLoginPWD(nullptr, 0, "a", "b"); }},
        {"BatchDeviceFactoryReset", [] { return ZR_QM_BatchDeviceFactoryReset(nullptr, 0); }},
        {"BatchDeviceReboot", [] { return ZR_QM_BatchDeviceReboot(nullptr, 0); }},
        {"BatchDeviceReboot_Ex", [] { return ZR_QM_BatchDeviceReboot_Ex(nullptr, 0); }},
        {"BatchSetDeviceWifi", [] { return ZR_QM_BatchSetDeviceWifi(nullptr, 0, 1); }},
        {"BatchDeviceContol", [] { return ZR_QM_BatchDeviceContol(nullptr, 0, 0); }},
        {"BatchUpgradeDevice", [&] { return ZR_QM_BatchUpgradeDevice(nullptr, 0, image.c_str()); }},
        {"BatchSetDeviceScreen", [&] { return ZR_QM_BatchSetDeviceScreen(nullptr, 0, 0, image.c_str()); }},
    };
    for (const auto &[name, call] : calls) EXPECT_EQ(call(), 0) << name;
    EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(nullptr, 0), -1);
    EXPECT_EQ(ZR_QM_BatchGetDeviceSystemUpdateProgress(nullptr, 0, 1), -1);
    EXPECT_EQ(ZR_QM_BatchDevSystemUpdate(nullptr, 0, 1, image.c_str(), Md5Hex("x").c_str()), ZR_QM_ERR_BATCH_PARTIAL);
    EXPECT_EQ(ZR_QM_BatchDeviceReboot(nullptr, 2), ZR_QM_ERR_PARAM);
    EXPECT_TRUE(NothingReceived());
}

TEST_F(BatchTest, AbsentMacEndsTheCallButEarlierDevicesAreServed) {
    MacSlots list{macs[0], "02:00:00:00:00:99", macs[1]};
    EXPECT_EQ(ZR_QM_BatchSetDeviceLoginPWD(list.data(), list.count(), "WQZNE847", "n3w"), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_TRUE(Eventually([&] { return CountOf(macs[0], "QM_login_pwd") == 1; }));
    EXPECT_EQ(CountOf(macs[1], "QM_login_pwd"), 0);

    const std::string image = files.Write("screen.jpg", std::string(5000, 's'));
    MacSlots absent_first{"02:00:00:00:00:99", macs[0]};
    EXPECT_EQ(ZR_QM_BatchSetDeviceScreen(absent_first.data(), absent_first.count(), 0, image.c_str()),
              ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(absent_first.data(), absent_first.count()), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(CountOf(macs[0], "startup_screen"), 0);
}

TEST_F(BatchTest, LoginPasswordChangeReachesOfflineDevices) {
    SetStoredState(macs[1], ZR_QM_STATE_OFFLINE);
    EXPECT_EQ(ZR_QM_BatchSetDeviceLoginPWD(All().data(), All().count(), "WQZNE847", "n3w"), 0);
    for (const std::string &mac : macs) {
        ASSERT_EQ(CountOf(mac, "QM_login_pwd"), 1) << mac;
        auto query = fleet.Requests(mac).back().query;
        EXPECT_EQ(query["admin_pwd_old"], Md5Hex("WQZNE847")) << mac;
        EXPECT_EQ(query["admin_pwd_new"], Md5Hex("n3w")) << mac;
        EXPECT_EQ(fleet.Snapshot(mac).config.password_md5, Md5Hex("n3w")) << mac;
    }
}

TEST_F(BatchTest, UploadsTheFileReadOnceToEveryDevice) {
    // Not a multiple of the read piece, so the last piece is short.
    std::string content(3 * 32768 + 123, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    const std::string image = files.Write("standby.jpg", content);
    EXPECT_EQ(ZR_QM_BatchSetDeviceScreen(All().data(), All().count(), 1, image.c_str()), 0);
    EXPECT_EQ(ZR_QM_BatchUpgradeDevice(All().data(), All().count(), image.c_str()), 0);
    for (const std::string &mac : macs) {
        talvo_sim::ReceiverSnapshot receiver = fleet.Snapshot(mac);
        EXPECT_EQ(receiver.files["standby_screen"].size, content.size()) << mac;
        EXPECT_EQ(receiver.files["standby_screen"].md5, Md5Hex(content)) << mac;
        EXPECT_EQ(receiver.files["upgrade"].md5, Md5Hex(content)) << mac;
        EXPECT_EQ(fleet.Requests(mac).back().query["md5"], Md5Hex(content)) << mac;
        EXPECT_EQ(fleet.Requests(mac).back().upload_file_name, "standby.jpg") << mac;
    }
}

TEST_F(BatchTest, UnreadableFilesAndOverlongPathsStartNoWorker) {
    const std::string missing = files.File("missing.bin");
    const std::string overlong(1024, 'a'), longest(1023, 'a');
    const std::string md5 = Md5Hex("x");
    struct Case {
        const char *what;
        std::function<int()> call;
        int result;
    };
    const Case cases[] = {
        {"upgrade, missing file", [&] { return ZR_QM_BatchUpgradeDevice(All().data(), 3, missing.c_str()); },
         ZR_QM_ERR_FILE_OPEN},
        {"screen, missing file", [&] { return ZR_QM_BatchSetDeviceScreen(All().data(), 3, 0, missing.c_str()); },
         ZR_QM_ERR_FILE_OPEN},
        {"screen, a folder", [&] { return ZR_QM_BatchSetDeviceScreen(All().data(), 3, 0, files.Path().c_str()); },
         -1},
        {"upgrade, 1023 characters", [&] { return ZR_QM_BatchUpgradeDevice(All().data(), 3, longest.c_str()); },
         ZR_QM_ERR_FILE_OPEN},
        {"upgrade, 1024 characters", [&] { return ZR_QM_BatchUpgradeDevice(All().data(), 3, overlong.c_str()); },
         ZR_QM_ERR_PARAM},
        {"screen, 1024 characters",
         [&] { return ZR_QM_BatchSetDeviceScreen(All().data(), 3, 0, overlong.c_str()); }, ZR_QM_ERR_PARAM},
        {"system update, 1024 characters",
         [&] { return ZR_QM_BatchDevSystemUpdate(All().data(), 3, 1, overlong.c_str(), md5.c_str()); },
         ZR_QM_ERR_PARAM},
        {"system update, no digest",
         [&] { return ZR_QM_BatchDevSystemUpdate(All().data(), 3, 1, missing.c_str(), nullptr); }, ZR_QM_ERR_PARAM},
        {"screen, no path", [&] { return ZR_QM_BatchSetDeviceScreen(All().data(), 3, 0, nullptr); },
         ZR_QM_ERR_PARAM},
    };
    for (const Case &c : cases) EXPECT_EQ(c.call(), c.result) << c.what;
    EXPECT_TRUE(NothingReceived());
}

TEST_F(BatchTest, ProgressReadsCombineWhatTheReceiversReport) {
    struct Case {
        std::vector<int> progress; // -1: the receiver fails the read
        int lowest, highest;
    };
    const Case cases[] = {
        {{40, 70, 55}, 40, 70},
        {{0, 0, 0}, 100, 0},
        {{0, 30, -1}, 30, 30},
        {{-1, -1, -1}, -1, -1},
    };
    for (const Case &c : cases) {
        for (size_t i = 0; i < macs.size(); ++i) {
            fleet.ClearFaults(macs[i]);
            if (c.progress[i] < 0) {
                fleet.InjectFault(macs[i], "*", Always(FaultType::Status, 500));
            } else {
                fleet.SetProgress(macs[i], "upgradeprogress", c.progress[i]);
                fleet.SetProgress(macs[i], "kernel_progress", c.progress[i]);
            }
        }
        LogCapture log;
        EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(All().data(), All().count()), c.lowest);
        EXPECT_EQ(ZR_QM_BatchGetDeviceSystemUpdateProgress(All().data(), All().count(), 1), c.highest);
        EXPECT_TRUE(log.Contains("0000 iProgress[2] = "));
    }
    // A device that is not online is skipped and does not count.
    for (const std::string &mac : macs) fleet.ClearFaults(mac);
    fleet.SetProgress(macs[0], "upgradeprogress", 10);
    SetStoredState(macs[0], ZR_QM_STATE_OFFLINE);
    fleet.SetProgress(macs[1], "upgradeprogress", 80);
    fleet.SetProgress(macs[2], "upgradeprogress", 90);
    EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(All().data(), All().count()), 80);
    MacSlots offline_only{macs[0]};
    EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(offline_only.data(), 1), -1);
}

TEST_F(BatchTest, BackgroundSystemUpdateReturnsAtOnceAndProgressReaches100) {
    const std::string content(50000, 'f');
    const std::string image = files.Write("upgrade-JX-TALVO.tar.lzma", content);
    SetStoredState(macs[2], ZR_QM_STATE_STANDBY);
    EXPECT_EQ(ZR_QM_BatchDevSystemUpdate(All().data(), All().count(), 2, image.c_str(), Md5Hex(content).c_str()),
              ZR_QM_ERR_BATCH_PARTIAL);
    MacSlots online{macs[0], macs[1]};
    EXPECT_TRUE(Eventually([&] { return ZR_QM_BatchGetDeviceSystemUpdateProgress(online.data(), 2, 2) == 100; }));
    for (int i : {0, 1}) {
        EXPECT_EQ(fleet.Snapshot(macs[i]).files["filesystem_update"].md5, Md5Hex(content));
        EXPECT_EQ(CountOf(macs[i], "filesystem_update"), 1);
    }
    EXPECT_EQ(CountOf(macs[2], "filesystem_update"), 0);
}

TEST_F(BatchTest, DigestTheCallerGivesIsSent) {
    const std::string image = files.Write("uImage-JX.bin", "kernel");
    MacSlots one{macs[0]};
    fleet.InjectFault(macs[0], "kernel_update", Once(FaultType::Unauthorized));
    LogCapture log;
    EXPECT_EQ(ZR_QM_BatchDevSystemUpdate(one.data(), 1, 1, image.c_str(), Md5Hex("other").c_str()),
              ZR_QM_ERR_BATCH_PARTIAL);
    // Renewed once after the 401; the receiver then refuses the wrong digest.
    EXPECT_TRUE(Eventually([&] { return log.Contains("upgrade device failed."); }));
    EXPECT_EQ(CountOf(macs[0], "kernel_update"), 2);
    EXPECT_EQ(fleet.Requests(macs[0]).back().query["md5"], Md5Hex("other"));
}

int LinesWith(const LogCapture &log, const std::string &fragment) {
    int count = 0;
    for (const std::string &line : log.Lines())
        if (line.find(fragment) != std::string::npos) ++count;
    return count;
}

TEST_F(BatchTest, StopWaitsForWorkersThatOutlivedTheirCall) {
    const std::string image = files.Write("image.bin", std::string(20000, 'w'));
    // Each worker fails late and logs it: slow receivers refuse the wrong
    // digest, and a stalled progress answer runs into its time-out.
    for (const std::string &mac : macs) fleet.InjectFault(mac, "upload", Always(FaultType::Delay, 800));
    fleet.InjectFault(macs[0], "upgradeprogress", Always(FaultType::Stall));
    LogCapture log;
    EXPECT_EQ(ZR_QM_BatchDevSystemUpdate(All().data(), All().count(), 1, image.c_str(), Md5Hex("w").c_str()),
              ZR_QM_ERR_BATCH_PARTIAL);
    MacSlots ended_early{macs[0], "02:00:00:00:00:99"};
    EXPECT_EQ(ZR_QM_BatchGetDeviceUpgradeProgress(ended_early.data(), ended_early.count()), ZR_QM_ERR_DEV_NOT_FOUND);
    // The devices may go while their workers run.
    EXPECT_EQ(ZR_QM_DelDevice(macs[1].c_str()), 0);
    EXPECT_GT(Internals().Workers().Running(), 0u);
    EXPECT_EQ(ZR_QM_DeInit(), 0);
    EXPECT_EQ(LinesWith(log, "upgrade device failed."), 3);
    EXPECT_EQ(LinesWith(log, "BatchGetDeviceUpgradeProgress() failed"), 1);
}

TEST_F(BatchTest, BatchStateReadCopiesStoredStatesByPosition) {
    SetStoredState(macs[1], ZR_QM_STATE_SHARE);
    MacSlots list{macs[1], "02:00:00:00:00:99", macs[0]};
    int states[3] = {-7, -7, -7};
    LogCapture log;
    EXPECT_EQ(ZR_QM_BatchGetDevicState(list.data(), states, 3), 0);
    EXPECT_EQ(states[0], ZR_QM_STATE_SHARE);
    EXPECT_EQ(states[1], -7);
    EXPECT_EQ(states[2], ZR_QM_STATE_IDLE);
    EXPECT_TRUE(log.Contains("BatchGetDeviceState() get device by mac address failed."));
    EXPECT_EQ(ZR_QM_BatchGetDevicState(list.data(), nullptr, 3), ZR_QM_ERR_PARAM);
    EXPECT_TRUE(NothingReceived());
}

// More devices than a wait for many threads takes at once on some platforms.
class LargeBatchTest : public OperationsTest {
protected:
    int Receivers() const override { return 90; }
};

TEST_F(LargeBatchTest, EveryDeviceGetsAWorker) {
    AllReady();
    MacSlots all(macs);
    EXPECT_EQ(ZR_QM_BatchSetDeviceWifi(all.data(), all.count(), 0), 0);
    for (const std::string &mac : macs) EXPECT_EQ(CountOf(mac, "dev_wifi"), 1) << mac;
}

} // namespace
