// The library frame: start and stop, the not-initialised rule, the log routine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "korvel.h"
#include "log_capture.h"
#include "platform/socket_library.h"
#include "temp_dir.h"

namespace {

using korvel::testing::LogCapture;
using korvel::testing::WorkingDirectory;

class FrameTest : public ::testing::Test {
protected:
    void TearDown() override { ZR_QM_DeInit(); }
    WorkingDirectory cwd_;
};

// Every export that needs the manager, called with harmless arguments.
// Each family adds its exports here as it is built.
std::vector<std::pair<const char *, std::function<int()>>> ExportsNeedingTheManager() {
    static char md5[33];
    static char name[32];
    static DeviceInfo info, *devices;
    static UserAccount *accounts;
    static ZR_QM_GroupName *groups;
    static ZR_QM_MacText macs[1] = {"aa:bb:cc:00:00:01"};
    static int state;
    static DeviceStatistics statistics;
    static DeviceNetStatus net_status;
    static NetConfig net;
    static VideoOutConfig video;
    static PinCodeConfig pin;
    static CompereList compere;
    static MulticastModeConfig multicast;
    return {
        {"ZR_QM_CalcFileMD5", [] { return ZR_QM_CalcFileMD5(md5, "/dev/null"); }},
        // accounts
        {"ZR_QM_Login", [] { return ZR_QM_Login("admin", "pelun"); }},
        {"ZR_QM_Logout", [] { return ZR_QM_Logout(); }},
        {"ZR_QM_GetCurUserType", [] { return ZR_QM_GetCurUserType(); }},
        {"ZR_QM_GetCurUserName", [] { return ZR_QM_GetCurUserName(name); }},
        {"ZR_QM_GetAllUserAccountInfo", [] { return ZR_QM_GetAllUserAccountInfo(&accounts); }},
        {"ZR_QM_AddUser", [] { return ZR_QM_AddUser("bob", "pw", 2); }},
        {"ZR_QM_DelUser", [] { return ZR_QM_DelUser("bob"); }},
        {"ZR_QM_ModifyUserPwd", [] { return ZR_QM_ModifyUserPwd("bob", "pw", "new"); }},
        {"ZR_QM_ModifyUserType", [] { return ZR_QM_ModifyUserType("bob", 1); }},
        {"ZR_QM_ModifyDevOperatePwd", [] { return ZR_QM_ModifyDevOperatePwd("TALVO", "WQZNE847", "new"); }},
        // discovery
        {"ZR_QM_SearchDevice", [] { return ZR_QM_SearchDevice(); }},
        {"ZR_QM_UpdateDeviceInfo", [] { return ZR_QM_UpdateDeviceInfo(); }},
        {"ZR_QM_AddDevice", [] { return ZR_QM_AddDevice("127.0.0.1", "u", "p", &info); }},
        // registry
        {"ZR_QM_DelDevice", [] { return ZR_QM_DelDevice(macs[0]); }},
        {"ZR_QM_GetDeviceList", [] { return ZR_QM_GetDeviceList(&devices); }},
        {"ZR_QM_GetDeviceInfo", [] { return ZR_QM_GetDeviceInfo(macs[0], &info); }},
        {"ZR_QM_GetSearchDeviceList", [] { return ZR_QM_GetSearchDeviceList(&devices); }},
        {"ZR_QM_ClearSearchDeviceList", [] { return ZR_QM_ClearSearchDeviceList(); }},
        {"ZR_QM_AddSearchDevicesToDeviceList", [] { return ZR_QM_AddSearchDevicesToDeviceList(macs, 1); }},
        {"ZR_QM_SetDevLoginUserNamePwd", [] { return ZR_QM_SetDevLoginUserNamePwd(macs[0], "u", "p"); }},
        // groups and alias
        {"ZR_QM_SaveDevAlias", [] { return ZR_QM_SaveDevAlias(macs[0], "Hall"); }},
        {"ZR_QM_AddDevGroup", [] { return ZR_QM_AddDevGroup("G"); }},
        {"ZR_QM_DelDevGroup", [] { return ZR_QM_DelDevGroup("G"); }},
        {"ZR_QM_ChangeGroupName", [] { return ZR_QM_ChangeGroupName("G", "H"); }},
        {"ZR_QM_GetGroupList", [] { return ZR_QM_GetGroupList(&groups); }},
        {"ZR_QM_GetGroupDevList", [] { return ZR_QM_GetGroupDevList("G", &devices); }},
        {"ZR_QM_MoveDevToNewGroup", [] { return ZR_QM_MoveDevToNewGroup(macs[0], "G"); }},
        // device session, state and operations
        {"ZR_QM_LoginDevice", [] { return ZR_QM_LoginDevice(macs[0], nullptr, nullptr); }},
        {"ZR_QM_LogoutDevice", [] { return ZR_QM_LogoutDevice(macs[0]); }},
        {"ZR_QM_GetDeviceState", [] { return ZR_QM_GetDeviceState(macs[0], &state); }},
        {"ZR_QM_GetDeviceStateStr", [] { return ZR_QM_GetDeviceStateStr(macs[0], name); }},
        {"ZR_QM_BatchGetDevicState", [] { return ZR_QM_BatchGetDevicState(macs, &state, 1); }},
        {"ZR_QM_UpdateAllDeviceState", [] { return ZR_QM_UpdateAllDeviceState(); }},
        {"ZR_QM_GetDevStatistics", [] { return ZR_QM_GetDevStatistics(&statistics); }},
        {"ZR_QM_GetDevicStatus", [] { return ZR_QM_GetDevicStatus(macs[0], &net_status); }},
        {"ZR_QM_GetDeviceVersion", [] { return ZR_QM_GetDeviceVersion(macs[0], name); }},
        {"ZR_QM_GetDeviceNetConf", [] { return ZR_QM_GetDeviceNetConf(macs[0], &net); }},
        {"ZR_QM_SetDeviceNetConf", [] { return ZR_QM_SetDeviceNetConf(macs[0], &net); }},
        {"ZR_QM_GetDeviceVOConf", [] { return ZR_QM_GetDeviceVOConf(macs[0], &video); }},
        {"ZR_QM_SetDeviceVOConf", [] { return ZR_QM_SetDeviceVOConf(macs[0], &video); }},
        {"ZR_QM_GetDevicePinCode", [] { return ZR_QM_GetDevicePinCode(macs[0], &pin); }},
        {"ZR_QM_SetDevicePinCode", [] { return ZR_QM_SetDevicePinCode(macs[0], &pin); }},
        {"ZR_QM_SetDeviceWebLoginPWD", [] { return ZR_QM_SetDeviceWebLoginPWD(macs[0], "a", "b"); }},
        {"ZR_QM_SetDeviceWifi", [] { return ZR_QM_SetDeviceWifi(macs[0], 1); }},
        {"ZR_QM_BatchSetDeviceWifi", [] { return ZR_QM_BatchSetDeviceWifi(macs, 1, 1); }},
        {"ZR_QM_BatchSetDeviceLoginPWD", [] { return ZR_QM_BatchSetDeviceLoginPWD(macs, 1, "a", "b"); }},
        {"ZR_QM_DeviceFactoryReset", [] { return ZR_QM_DeviceFactoryReset(macs[0]); }},
        {"ZR_QM_BatchDeviceFactoryReset", [] { return ZR_QM_BatchDeviceFactoryReset(macs, 1); }},
        {"ZR_QM_DeviceReboot", [] { return ZR_QM_DeviceReboot(macs[0]); }},
        {"ZR_QM_BatchDeviceReboot", [] { return ZR_QM_BatchDeviceReboot(macs, 1); }},
        {"ZR_QM_DeviceReboot_Ex", [] { return ZR_QM_DeviceReboot_Ex(macs[0]); }},
        {"ZR_QM_BatchDeviceReboot_Ex", [] { return ZR_QM_BatchDeviceReboot_Ex(macs, 1); }},
        {"ZR_QM_DeviceContol", [] { return ZR_QM_DeviceContol(macs[0], 0); }},
        {"ZR_QM_BatchDeviceContol", [] { return ZR_QM_BatchDeviceContol(macs, 1, 0); }},
        {"ZR_QM_UpgradeDevice", [] { return ZR_QM_UpgradeDevice(macs[0], "/dev/null"); }},
        {"ZR_QM_BatchUpgradeDevice", [] { return ZR_QM_BatchUpgradeDevice(macs, 1, "/dev/null"); }},
        {"ZR_QM_GetDeviceUpgradeProgress", [] { return ZR_QM_GetDeviceUpgradeProgress(macs[0]); }},
        {"ZR_QM_BatchGetDeviceUpgradeProgress", [] { return ZR_QM_BatchGetDeviceUpgradeProgress(macs, 1); }},
        {"ZR_QM_DevSystemUpdate", [] { return ZR_QM_DevSystemUpdate(macs[0], 1, "/dev/null"); }},
        {"ZR_QM_BatchDevSystemUpdate", [] { return ZR_QM_BatchDevSystemUpdate(macs, 1, 1, "/dev/null", md5); }},
        {"ZR_QM_GetDeviceSystemUpdateProgress", [] { return ZR_QM_GetDeviceSystemUpdateProgress(macs[0], 1); }},
        {"ZR_QM_BatchGetDeviceSystemUpdateProgress",
         [] { return ZR_QM_BatchGetDeviceSystemUpdateProgress(macs, 1, 1); }},
        {"ZR_QM_SetDeviceScreen", [] { return ZR_QM_SetDeviceScreen(macs[0], 0, "/dev/null"); }},
        {"ZR_QM_BatchSetDeviceScreen", [] { return ZR_QM_BatchSetDeviceScreen(macs, 1, 0, "/dev/null"); }},
        // display modes
        {"ZR_QM_GetCompereList", [] { return ZR_QM_GetCompereList(macs[0], &compere); }},
        {"ZR_QM_SetCompereMember", [] { return ZR_QM_SetCompereMember(macs[0], 0, &compere.devs[0]); }},
        {"ZR_QM_GetMulticastMode", [] { return ZR_QM_GetMulticastMode(macs[0], &multicast); }},
        {"ZR_QM_SetMulticastMode", [] { return ZR_QM_SetMulticastMode(macs[0], &multicast); }},
    };
}

TEST_F(FrameTest, ExportsAnswerNotInitWithoutAManager) {
    for (const auto &[name, call] : ExportsNeedingTheManager()) {
        EXPECT_EQ(call(), ZR_QM_ERR_NOT_INIT) << name << " before ZR_QM_Init";
    }
    ASSERT_EQ(ZR_QM_Init(), 0);
    ASSERT_EQ(ZR_QM_DeInit(), 0);
    for (const auto &[name, call] : ExportsNeedingTheManager()) {
        EXPECT_EQ(call(), ZR_QM_ERR_NOT_INIT) << name << " after ZR_QM_DeInit";
    }
    EXPECT_EQ(static_cast<unsigned>(ZR_QM_ERR_NOT_INIT), 0xFF800000u);
}

TEST_F(FrameTest, InitAndDeInitCycles) {
    EXPECT_EQ(ZR_QM_DeInit(), 0); // without a manager
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ZR_QM_Init(), 0);
        char md5[33] = {0};
        EXPECT_EQ(ZR_QM_CalcFileMD5(md5, "/dev/null"), 0);
        EXPECT_EQ(ZR_QM_DeInit(), 0);
    }
    EXPECT_EQ(korvel::platform::SocketLibraryStarts(), 0);
}

TEST_F(FrameTest, SecondInitKeepsTheManager) {
    ASSERT_EQ(ZR_QM_Init(), 0);
    EXPECT_EQ(ZR_QM_Init(), 0);
    char md5[33] = {0};
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, "/dev/null"), 0);
    EXPECT_EQ(ZR_QM_DeInit(), 0);
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, "/dev/null"), ZR_QM_ERR_NOT_INIT);
}

TEST(LogTest, TextIsCutAfter4095Characters) {
    LogCapture capture;
    std::string text(5000, 'x');
    text[4094] = 'y';
    text[4095] = 'z';
    ZR_QM_KorvelSysLogOut("%s", text.c_str());
    auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 4095u);
    EXPECT_EQ(lines[0].back(), 'y');
}

TEST(LogTest, FormatsPrintfStyleWithoutAddingAnything) {
    LogCapture capture;
    ZR_QM_KorvelSysLogOut("[%s]:[%d] %s", "QMDlg", 12, "message");
    auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "[QMDlg]:[12] message");
}

TEST(LogDeathTest, StandardErrorOnlyWhenAskedFor) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("KORVEL_DEBUG_OUTPUT", "1", 1);
            ZR_QM_KorvelSysLogOut("visible %d", 42);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "visible 42");
    EXPECT_EXIT(
        {
            unsetenv("KORVEL_DEBUG_OUTPUT");
            ZR_QM_KorvelSysLogOut("hidden line");
            std::fputs("done", stderr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^done$");
}

} // namespace
