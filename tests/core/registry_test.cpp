// The device registry on its own: lookup, admission, updates with the address
// hand-over, removal while others hold or refresh a device.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>

#include "core/device_mgr.h"
#include "library_fixture.h"

namespace {

using korvel::DeviceMgr;
using korvel::testing::kDefaultGroup;
using korvel::testing::Record;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry_.SetOperate("TALVO", "0123456789abcdef0123456789abcdef");
        for (const char *mac : {"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:02"}) {
            DeviceInfo record = Record(mac, "TALVO_HX", std::string("127.0.1.") + mac[16]);
            ASSERT_EQ(registry_.Admit(record), 0);
        }
    }

    DeviceInfo Snap(const char *mac) {
        DeviceInfo info{};
        EXPECT_EQ(registry_.Snapshot(mac, info), 0) << mac;
        return info;
    }

    DeviceMgr registry_;
};

TEST_F(RegistryTest, FindsByMacWithoutRegardToCase) {
    struct Case {
        const char *mac;
        bool found;
    } cases[] = {{"aa:bb:cc:00:00:01", true}, {"AA:BB:CC:00:00:01", true}, {"Aa:bB:cC:00:00:02", true},
                 {"aa:bb:cc:00:00:03", false}, {"aa:bb:cc:00:00:0", false}, {"aa:bb:cc:00:00:011", false},
                 {"", false},                  {nullptr, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(registry_.Find(c.mac) != nullptr, c.found) << (c.mac ? c.mac : "null");
        DeviceInfo info{};
        EXPECT_EQ(registry_.Snapshot(c.mac, info), c.found ? 0 : ZR_QM_ERR_DEV_NOT_FOUND);
    }
    EXPECT_STREQ(Snap("AA:BB:CC:00:00:02").Wired_MacAddr, "aa:bb:cc:00:00:02"); // as stored
}

TEST_F(RegistryTest, RefusalsLeaveTheRegistryUnchanged) {
    struct Case {
        const char *what;
        DeviceInfo record;
        int result;
    } cases[] = {
        {"same MAC", Record("aa:bb:cc:00:00:01", "TALVO_JX", "127.0.9.9"), ZR_QM_ERR_DEV_EXISTS},
        {"same MAC, other case", Record("AA:BB:CC:00:00:02", "TALVO_JX"), ZR_QM_ERR_DEV_EXISTS},
        {"unknown model", Record("aa:bb:cc:00:00:03", "TALVO_XX"), ZR_QM_ERR_DEV_TYPE},
        {"no model", Record("aa:bb:cc:00:00:03", ""), ZR_QM_ERR_DEV_TYPE},
    };
    for (auto &c : cases) {
        EXPECT_EQ(registry_.Admit(c.record), c.result) << c.what;
        ASSERT_EQ(registry_.Count(), 2u) << c.what;
    }
    DeviceInfo first = Snap("aa:bb:cc:00:00:01");
    EXPECT_STREQ(first.Device_Type, "TALVO_HX");
    EXPECT_STREQ(first.Wired_IpAddr, "127.0.1.1");
}

TEST_F(RegistryTest, AdmissionTakesOperateCredentialsAndTheDefaultGroup) {
    DeviceInfo record = Record("aa:bb:cc:00:00:03", "talvo_jx", "127.0.1.3");
    std::strcpy(record.Device_UserName, "stranger");
    std::strcpy(record.Device_PwdMd5, "ffffffffffffffffffffffffffffffff");
    std::strcpy(record.Device_Alias, "Hall");
    ASSERT_EQ(registry_.Admit(record), 0);
    EXPECT_EQ(record.Device_Group, kDefaultGroup); // the caller's record is changed

    DeviceInfo info = Snap("aa:bb:cc:00:00:03");
    EXPECT_STREQ(info.Device_Type, "TALVO_JX");
    EXPECT_EQ(registry_.Find("aa:bb:cc:00:00:03")->Model(), 1u);
    EXPECT_EQ(registry_.Find("aa:bb:cc:00:00:03")->State(), ZR_QM_STATE_OFFLINE);
    EXPECT_STREQ(info.Device_UserName, "TALVO");
    EXPECT_STREQ(info.Device_PwdMd5, "0123456789abcdef0123456789abcdef");
    EXPECT_STREQ(info.Device_Alias, "Hall");
    EXPECT_EQ(info.Device_Group, kDefaultGroup);

    DeviceInfo grouped = Record("aa:bb:cc:00:00:04", "TALVO_TX", "127.0.1.4", "Floor 2");
    ASSERT_EQ(registry_.Admit(grouped), 0);
    EXPECT_STREQ(Snap("aa:bb:cc:00:00:04").Device_Group, "Floor 2");

    // List order is admission order.
    DeviceInfo *list = nullptr;
    ASSERT_EQ(registry_.ListSnapshots(&list), 4);
    EXPECT_STREQ(list[0].Wired_MacAddr, "aa:bb:cc:00:00:01");
    EXPECT_STREQ(list[3].Wired_MacAddr, "aa:bb:cc:00:00:04");
    std::free(list);
}

TEST_F(RegistryTest, UpdateByMacKeepsNonEmptyFieldsAndHandsTheAddressOver) {
    struct Case {
        const char *what;
        const char *mac;
        DeviceInfo record;
        int result;
        const char *address_1; // afterwards
        const char *address_2;
    } cases[] = {
        {"same data again", "aa:bb:cc:00:00:01", Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.1"), 0,
         "127.0.1.1", "127.0.1.2"},
        {"empty fields keep what is there", "AA:BB:CC:00:00:01", Record("aa:bb:cc:00:00:01", "TALVO_HX", ""), 0,
         "127.0.1.1", "127.0.1.2"},
        {"new address", "aa:bb:cc:00:00:01", Record("AA:BB:CC:00:00:01", "TALVO_HX", "127.0.1.7"), 1,
         "127.0.1.7", "127.0.1.2"},
        {"takes another device's address", "aa:bb:cc:00:00:01",
         Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.2"), 1, "127.0.1.2", "0.0.0.0"},
        {"announced again: no change", "aa:bb:cc:00:00:01", Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.2"),
         0, "127.0.1.2", "0.0.0.0"},
        {"unknown device", "aa:bb:cc:00:00:09", Record("aa:bb:cc:00:00:09"), ZR_QM_ERR_DEV_NOT_FOUND, "127.0.1.2",
         "0.0.0.0"},
        {"record of another device", "aa:bb:cc:00:00:02", Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.5"),
         ZR_QM_ERR_MAC_MISMATCH, "127.0.1.2", "0.0.0.0"},
        {"unknown model changes nothing", "aa:bb:cc:00:00:02",
         Record("aa:bb:cc:00:00:02", "TALVO_ZX", "127.0.1.2"), ZR_QM_ERR_DEV_TYPE, "127.0.1.2", "0.0.0.0"},
        {"device 2 takes its address back", "aa:bb:cc:00:00:02",
         Record("aa:bb:cc:00:00:02", "TALVO_HX", "127.0.1.2"), 1, "0.0.0.0", "127.0.1.2"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(registry_.UpdateByMac(c.mac, c.record), c.result) << c.what;
        EXPECT_STREQ(Snap("aa:bb:cc:00:00:01").Wired_IpAddr, c.address_1) << c.what;
        EXPECT_STREQ(Snap("aa:bb:cc:00:00:02").Wired_IpAddr, c.address_2) << c.what;
    }

    DeviceInfo renamed = Record("aa:bb:cc:00:00:02", "TALVO_SX", "");
    std::strcpy(renamed.Wifi_SSID, "");
    std::strcpy(renamed.Device_Ver, "2.0.0");
    std::strcpy(renamed.Device_Alias, "Lobby");
    EXPECT_EQ(registry_.UpdateByMac("aa:bb:cc:00:00:02", renamed), 1);
    DeviceInfo info = Snap("aa:bb:cc:00:00:02");
    EXPECT_STREQ(info.Device_Type, "TALVO_SX");
    EXPECT_STREQ(info.Device_Ver, "2.0.0");
    EXPECT_STREQ(info.Wifi_SSID, "Room"); // empty name kept
    EXPECT_STREQ(info.Device_Alias, "Lobby");
    EXPECT_EQ(info.Device_Group, kDefaultGroup);
}

TEST_F(RegistryTest, RemovalAndClear) {
    EXPECT_EQ(registry_.Remove("aa:bb:cc:00:00:09"), ZR_QM_ERR_DEV_NOT_FOUND);
    DeviceMgr::DevicePtr held = registry_.Find("aa:bb:cc:00:00:01");
    EXPECT_EQ(registry_.Remove("AA:BB:CC:00:00:01"), 0);
    EXPECT_EQ(registry_.Find("aa:bb:cc:00:00:01"), nullptr);
    EXPECT_EQ(registry_.Count(), 1u);
    EXPECT_EQ(held->Mac(), "aa:bb:cc:00:00:01"); // a holder keeps its device alive

    DeviceInfo again = Record("aa:bb:cc:00:00:01");
    EXPECT_EQ(registry_.Admit(again), 0); // the MAC is free again

    registry_.Clear();
    EXPECT_EQ(registry_.Count(), 0u);
    EXPECT_EQ(registry_.Remove("aa:bb:cc:00:00:02"), 0); // empty registry
    DeviceInfo *list = reinterpret_cast<DeviceInfo *>(0x1);
    EXPECT_EQ(registry_.ListSnapshots(&list), 0);
    EXPECT_EQ(list, reinterpret_cast<DeviceInfo *>(0x1)); // untouched
}

TEST_F(RegistryTest, RemovalWaitsForARunningRefresh) {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false, release = false;
    DeviceMgr::DevicePtr device = registry_.Find("aa:bb:cc:00:00:02");
    ASSERT_TRUE(device->StartRefresh([&] {
        std::unique_lock<std::mutex> lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    }));
    device.reset();
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(60), [&] { return started; }));
    }
    auto removal = std::async(std::launch::async, [&] { return registry_.Remove("aa:bb:cc:00:00:02"); });
    // The device is unlinked at once, but the removal does not return while
    // the refresh runs.
    for (int i = 0; i < 6000 && registry_.Find("aa:bb:cc:00:00:02") != nullptr; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(registry_.Find("aa:bb:cc:00:00:02"), nullptr);
    EXPECT_EQ(removal.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
    }
    changed.notify_all();
    EXPECT_EQ(removal.get(), 0);
}

TEST_F(RegistryTest, AdoptsKnownSearchResultsOnly) {
    DeviceMgr search;
    DeviceInfo found = Record("aa:bb:cc:00:00:05", "TALVO_NX", "127.0.1.5");
    ASSERT_EQ(search.Admit(found), 0);
    ZR_QM_MacText macs[] = {"AA:BB:CC:00:00:05", "aa:bb:cc:00:00:06", "aa:bb:cc:00:00:01"};
    EXPECT_EQ(registry_.AdoptFrom(search, macs, 3), 1); // unknown and already managed are skipped
    EXPECT_EQ(registry_.Count(), 3u);
    EXPECT_EQ(search.Count(), 1u); // the search registry keeps its devices
    EXPECT_STREQ(Snap("aa:bb:cc:00:00:05").Device_Type, "TALVO_NX");
}

TEST(OperateCredentialsTest, ReplaceChecksUserThenCurrentPassword) {
    DeviceMgr registry;
    registry.SetOperate("TALVO", "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(registry.ReplaceOperatePassword("talvo", "0123456789abcdef0123456789abcdef", "n"), -1);
    EXPECT_EQ(registry.ReplaceOperatePassword("TALVO", "0123456789abcdef0123456789abcdee", "n"),
              ZR_QM_ERR_PASSWORD);
    EXPECT_STREQ(registry.Operate().password_md5, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(registry.ReplaceOperatePassword("TALVO", "0123456789ABCDEF0123456789ABCDEF",
                                              "fedcba9876543210fedcba9876543210"),
              0);
    EXPECT_STREQ(registry.Operate().password_md5, "fedcba9876543210fedcba9876543210");
}

} // namespace
