// The registry exports: lists, lookups, removal, adoption of search results,
// device login credentials.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/digest.h"
#include "library_fixture.h"
#include "log_capture.h"

namespace {

using namespace korvel::testing;

class RegistryExportsTest : public LibraryTest {
protected:
    void SetUp() override { Start(); }
};

TEST_F(RegistryExportsTest, EmptyRegistries) {
    DeviceInfo *devices = reinterpret_cast<DeviceInfo *>(0x1);
    EXPECT_EQ(ZR_QM_GetDeviceList(&devices), 0);
    EXPECT_EQ(ZR_QM_GetSearchDeviceList(&devices), 0);
    EXPECT_EQ(devices, reinterpret_cast<DeviceInfo *>(0x1)); // untouched
    EXPECT_EQ(ZR_QM_DelDevice("aa:bb:cc:00:00:01"), 0);
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(ZR_QM_AddSearchDevicesToDeviceList(nullptr, 0), 0);
}

TEST_F(RegistryExportsTest, NullArgumentsAreRefused) {
    LogCapture log;
    DeviceInfo info{};
    ZR_QM_MacText macs[1] = {"aa"};
    RunSteps({
        {"list", [] { return ZR_QM_GetDeviceList(nullptr); }, ZR_QM_ERR_PARAM},
        {"search list", [] { return ZR_QM_GetSearchDeviceList(nullptr); }, ZR_QM_ERR_PARAM},
        {"info, mac", [&] { return ZR_QM_GetDeviceInfo(nullptr, &info); }, ZR_QM_ERR_PARAM},
        {"info, record", [] { return ZR_QM_GetDeviceInfo("aa", nullptr); }, ZR_QM_ERR_PARAM},
        {"delete", [] { return ZR_QM_DelDevice(nullptr); }, ZR_QM_ERR_PARAM},
        {"adopt", [] { return ZR_QM_AddSearchDevicesToDeviceList(nullptr, 1); }, ZR_QM_ERR_PARAM},
        {"credentials, mac", [] { return ZR_QM_SetDevLoginUserNamePwd(nullptr, "u", "p"); }, ZR_QM_ERR_PARAM},
        {"credentials, user", [] { return ZR_QM_SetDevLoginUserNamePwd("aa", nullptr, "p"); }, ZR_QM_ERR_PARAM},
        {"credentials, password", [] { return ZR_QM_SetDevLoginUserNamePwd("aa", "u", nullptr); }, ZR_QM_ERR_PARAM},
        {"adopt unknown", [&] { return ZR_QM_AddSearchDevicesToDeviceList(macs, 1); }, 0},
    });
    EXPECT_TRUE(log.Contains("[TALVOMgr]:["));
    EXPECT_TRUE(log.Contains("] parameter is not illegal!"));
}

TEST_F(RegistryExportsTest, AdoptsSearchResultsAndLooksThemUp) {
    Discover(Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.1"));
    Discover(Record("AA:BB:CC:00:00:02", "TALVO_TX", "127.0.1.2", "Floor 2"));
    DeviceInfo *found = nullptr;
    int count = ZR_QM_GetSearchDeviceList(&found);
    ASSERT_EQ(TakeList(count, found).size(), 2u);

    ZR_QM_MacText macs[] = {"AA:BB:CC:00:00:01", "aa:bb:cc:00:00:09"};
    EXPECT_EQ(ZR_QM_AddSearchDevicesToDeviceList(macs, 2), 1);
    ZR_QM_MacText again[] = {"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:02"};
    EXPECT_EQ(ZR_QM_AddSearchDevicesToDeviceList(again, 2), 1); // the first is managed already
    EXPECT_EQ(ManagedMacs(), (std::vector<std::string>{"aa:bb:cc:00:00:01", "AA:BB:CC:00:00:02"}));

    DeviceInfo info{};
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:02", &info), 0);
    EXPECT_STREQ(info.Device_Type, "TALVO_TX");
    EXPECT_STREQ(info.Device_Group, "Floor 2");
    EXPECT_STREQ(info.Device_UserName, "TALVO");
    EXPECT_EQ(std::string(info.Device_PwdMd5), kOperatePwdMd5);
    EXPECT_EQ(info.RunTime, 0u); // offline

    // An offline device shows the seconds since it went offline.
    auto device = Internals().Managed().Find("aa:bb:cc:00:00:01");
    korvel::RefreshRecord refresh = device->Refresh();
    refresh.run_time = 900;
    refresh.offline_duration = 75;
    device->SetRefresh(refresh);
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), 0);
    EXPECT_EQ(info.RunTime, 0u);
    EXPECT_EQ(info.StateDuration, 75u);

    EXPECT_EQ(ZR_QM_ClearSearchDeviceList(), 0);
    DeviceInfo *none = nullptr;
    EXPECT_EQ(ZR_QM_GetSearchDeviceList(&none), 0);
    EXPECT_EQ(ManagedMacs().size(), 2u); // adopted devices stay

    EXPECT_EQ(ZR_QM_DelDevice("aa:bb:cc:00:00:09"), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(ZR_QM_DelDevice("AA:BB:CC:00:00:01"), 0);
    EXPECT_EQ(ManagedMacs(), (std::vector<std::string>{"AA:BB:CC:00:00:02"}));
}

TEST_F(RegistryExportsTest, DeviceLoginCredentialsAreStoredAsDigest) {
    Manage({Record("aa:bb:cc:00:00:01")});
    LogCapture log;
    EXPECT_EQ(ZR_QM_SetDevLoginUserNamePwd("aa:bb:cc:00:00:09", "u", "p"), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_TRUE(log.Contains("SetDevLoginUserNamePwd() get device by mac address failed."));
    ASSERT_EQ(ZR_QM_SetDevLoginUserNamePwd("AA:BB:CC:00:00:01", "admin", "secret"), 0);
    char digest[korvel::kDigestSize];
    korvel::TextDigest("secret", digest);
    DeviceInfo info{};
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), 0);
    EXPECT_STREQ(info.Device_UserName, "admin");
    EXPECT_STREQ(info.Device_PwdMd5, digest);
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find(digest), std::string::npos);

    // A user name of 32 bytes or more would be stored cut: refused, nothing changes.
    EXPECT_EQ(ZR_QM_SetDevLoginUserNamePwd("aa:bb:cc:00:00:01", std::string(32, 'u').c_str(), "x"), ZR_QM_ERR_PARAM);
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), 0);
    EXPECT_STREQ(info.Device_UserName, "admin");
    EXPECT_STREQ(info.Device_PwdMd5, digest);
    ASSERT_EQ(ZR_QM_SetDevLoginUserNamePwd("aa:bb:cc:00:00:01", std::string(31, 'u').c_str(), "x"), 0);
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), 0);
    EXPECT_EQ(std::string(info.Device_UserName), std::string(31, 'u'));
}

} // namespace
