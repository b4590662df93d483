// Identity, records and the model tables of a Device (no network involved).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/device.h"
#include "device/models.h"
#include "korvel.h"

namespace {

using korvel::Device;

DeviceInfo Record(const char *mac, const char *model = "TALVO_JX") {
    DeviceInfo info{};
    std::strcpy(info.Wired_MacAddr, mac);
    std::strcpy(info.Device_Type, model);
    std::strcpy(info.Wired_IpAddr, "127.0.1.1");
    std::strcpy(info.Wifi_SSID, "Room-1");
    std::strcpy(info.Device_Ver, "1.3.9");
    return info;
}

TEST(ModelTest, IndexIgnoresCaseAndRefusesOthers) {
    struct Case {
        const char *name;
        uint32_t index;
    } cases[] = {{"TALVO_HX", 0}, {"talvo_hx", 0}, {"talvo_jx", 1}, {"TALVO_MX", 2}, {"Talvo_Nx", 3},
                 {"TALVO_SX", 4}, {"TALVO_TX", 5}, {"TALVO_XX", 6}, {"unknow", 6},  {"", 6},
                 {"TALVO_HX ", 6}, {nullptr, 6}};
    for (const auto &c : cases) EXPECT_EQ(korvel::ModelIndex(c.name), c.index) << (c.name ? c.name : "null");
    EXPECT_TRUE(korvel::IsKnownModel("TALVO_TX"));
    EXPECT_FALSE(korvel::IsKnownModel("talvo_tx"));
    EXPECT_FALSE(korvel::IsKnownModel("DeviceManagerSoftware"));
}

TEST(ProductInfoTest, RowsAndRefusals) {
    ProductInfo info{};
    EXPECT_EQ(ZR_QM_GetProductInfo("TALVO_HX", &info), 0); // works without ZR_QM_Init
    EXPECT_STREQ(info.upgrade_file, "TALVO_HX.tar.bz2");
    EXPECT_STREQ(info.dev_type, "TALVO_HX");
    EXPECT_STREQ(info.uboot_file, "u-boot-HX.bin");
    EXPECT_STREQ(info.kernel_file, "uImage-HX.bin");
    EXPECT_STREQ(info.filesystem_file, "upgrade-HX-TALVO.tar.lzma");
    EXPECT_EQ(ZR_QM_GetProductInfo("TALVO_SX", &info), 0);
    EXPECT_STREQ(info.kernel_file, "uImage-SX.bin");
    EXPECT_STREQ(info.filesystem_file, "upgrade-SX-TALVO.tar.lzma");
    EXPECT_EQ(ZR_QM_GetProductInfo("talvo_hx", &info), -2);
    EXPECT_EQ(ZR_QM_GetProductInfo("unknow", &info), -2);
    EXPECT_EQ(ZR_QM_GetProductInfo(nullptr, &info), -1);
    EXPECT_EQ(ZR_QM_GetProductInfo("TALVO_HX", nullptr), -1);
}

TEST(DeviceRecordTest, NewDeviceIsOfflineAndSnapshotsItsFields) {
    Device device(1, Record("aa:bb:cc:00:00:01"), "TALVO", "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(device.State(), ZR_QM_STATE_OFFLINE);
    EXPECT_FALSE(device.IsOnline());
    EXPECT_GT(device.Refresh().offline_since, 0);

    korvel::RefreshRecord r = device.Refresh();
    r.run_time = 500;
    r.offline_duration = 42;
    r.online_duration = 7;
    r.reboots = 3;
    device.SetRefresh(r);
    DeviceInfo info{};
    device.FillInfo(info);
    EXPECT_STREQ(info.Device_Type, "TALVO_JX");
    EXPECT_STREQ(info.Wired_MacAddr, "aa:bb:cc:00:00:01");
    EXPECT_STREQ(info.Device_UserName, "TALVO");
    EXPECT_EQ(info.RunTime, 0u);          // offline: no run time
    EXPECT_EQ(info.StateDuration, 42u);   // offline duration
    EXPECT_EQ(info.RebootCount, 3u);

    r.state = ZR_QM_STATE_SHARE;
    device.SetRefresh(r);
    info = DeviceInfo{};
    device.FillInfo(info);
    EXPECT_EQ(info.RunTime, 500u);
    EXPECT_EQ(info.StateDuration, 7u);
    EXPECT_TRUE(device.IsOnline());
}

TEST(DeviceRecordTest, UpdateTakesOnlyNonEmptyChangedFields) {
    Device device(1, Record("aa:bb:cc:00:00:01"), "TALVO", "x");
    DeviceInfo same = Record("AA:BB:CC:00:00:01");
    same.Wifi_SSID[0] = '\0'; // an empty name never clears
    EXPECT_EQ(device.UpdateFromInfo(same), 0);
    EXPECT_EQ(device.Name(), "Room-1");

    DeviceInfo changed = Record("aa:bb:cc:00:00:01", "talvo_tx");
    std::strcpy(changed.Device_Alias, "Hall");
    std::strcpy(changed.Device_UserName, "ignored");
    EXPECT_EQ(device.UpdateFromInfo(changed), 1);
    EXPECT_EQ(device.Model(), 5u);
    EXPECT_EQ(device.Alias(), "Hall");
    EXPECT_EQ(device.UserName(), "TALVO"); // credentials never come from a record

    EXPECT_EQ(device.UpdateFromInfo(Record("aa:bb:cc:00:00:02")), ZR_QM_ERR_MAC_MISMATCH);
    DeviceInfo bad_type = Record("aa:bb:cc:00:00:01", "TALVO_XX");
    std::strcpy(bad_type.Device_Ver, "9.9");
    EXPECT_EQ(device.UpdateFromInfo(bad_type), ZR_QM_ERR_DEV_TYPE);
    EXPECT_EQ(device.Version(), "1.3.9"); // a refused update changes nothing
}

TEST(DeviceRecordTest, AliasAndGroupSetters) {
    Device device(0, Record("aa:bb:cc:00:00:01"), "TALVO", "x");
    EXPECT_EQ(device.SetAlias("A"), 1);
    EXPECT_EQ(device.SetAlias("A"), 0);
    EXPECT_EQ(device.SetGroup("G"), 1);
    EXPECT_EQ(device.SetGroup("G"), 0);
    EXPECT_EQ(device.SetGroup(std::string(127, 'g').c_str()), 1);
    EXPECT_EQ(device.SetGroup(std::string(128, 'g').c_str()), ZR_QM_ERR_GROUP_NAME_LONG);
    EXPECT_EQ(device.Group(), std::string(127, 'g'));
}

TEST(DeviceRecordTest, RefreshThreadRunsOneAtATime) {
    Device device(0, Record("aa:bb:cc:00:00:01"), "TALVO", "x");
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    EXPECT_TRUE(device.StartRefresh([&] {
        while (!release.load()) std::this_thread::yield();
        ++runs;
    }));
    EXPECT_FALSE(device.StartRefresh([&] { ++runs; }));
    release = true;
    device.WaitForRefresh();
    EXPECT_TRUE(device.StartRefresh([&] { ++runs; }));
    device.WaitForRefresh();
    EXPECT_EQ(runs.load(), 2);
}

} // namespace
