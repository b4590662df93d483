// The three store files: what a fresh start writes, how loads treat foreign
// and broken contents, which operation rewrites which file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "log_capture.h"

namespace {

using namespace korvel::testing;
namespace fs = std::filesystem;

const char *const kStores[] = {"DevsInfo.ini", "GroupsInfo.ini", "AccountInfo.ini"};

class StoresTest : public LibraryTest {
protected:
    // Copies kept of files that did not load whole: "<name>.bad-<date-time>".
    std::vector<std::string> BadCopies(const std::string &name) {
        std::vector<std::string> copies;
        for (const auto &entry : fs::directory_iterator(cwd_.Path())) {
            std::string file = entry.path().filename().string();
            if (file.rfind(name + ".bad-", 0) == 0) copies.push_back(file);
        }
        return copies;
    }

    void RemoveStores() {
        for (const char *name : kStores) fs::remove(cwd_.File(name));
    }

    std::string Rewritten() {
        std::string files;
        for (const char *name : kStores)
            if (fs::exists(cwd_.File(name))) files += std::string(files.empty() ? "" : " ") + name;
        return files;
    }
};

TEST_F(StoresTest, FreshStartWritesTheDefaults) {
    Start();
    EXPECT_EQ(cwd_.Read("DevsInfo.ini"), "{\n"
                                         "\t\"DevOperateUserName\":\t\"TALVO\",\n"
                                         "\t\"DevOperatePwdMd5\":\t\"e2c7a66d7da5e004b38164ddc0720422\",\n"
                                         "\t\"Dev_Num\":\t0\n"
                                         "}\n");
    EXPECT_EQ(cwd_.Read("GroupsInfo.ini"), "{\n"
                                           "\t\"Group_Num\":\t0\n"
                                           "}\n");
    EXPECT_EQ(cwd_.Read("AccountInfo.ini"), "{\n"
                                            "\t\"Account_Num\":\t1,\n"
                                            "\t\"Accounts\":\t[{\n"
                                            "\t\t\t\"User_Name\":\t\"admin\",\n"
                                            "\t\t\t\"User_Pwd\":\t\"dd4cad3f4ac1f63751f0c3827b62cfcd\",\n"
                                            "\t\t\t\"User_Type\":\t0\n"
                                            "\t\t}]\n"
                                            "}\n");
    EXPECT_EQ(ZR_QM_Login("admin", "pelun"), 0);
    for (const char *name : kStores) EXPECT_TRUE(BadCopies(name).empty()) << name;
}

TEST_F(StoresTest, DeviceEntriesRoundTripWithTheDefaultGroupInCodePage936) {
    Start();
    Manage({Record("aa:bb:cc:00:00:01", "TALVO_HX", "127.0.1.1"),
            Record("aa:bb:cc:00:00:02", "talvo_jx", "127.0.1.2", "Floor 2")});
    ZR_QM_DeInit();
    std::string text = cwd_.Read("DevsInfo.ini");
    EXPECT_EQ(text, "{\n"
                    "\t\"DevOperateUserName\":\t\"TALVO\",\n"
                    "\t\"DevOperatePwdMd5\":\t\"e2c7a66d7da5e004b38164ddc0720422\",\n"
                    "\t\"Dev_Num\":\t2,\n"
                    "\t\"Devices\":\t[{\n"
                    "\t\t\t\"Wifi_SSID\":\t\"Room\",\n"
                    "\t\t\t\"Wired_IpAddr\":\t\"127.0.1.1\",\n"
                    "\t\t\t\"Device_Type\":\t\"TALVO_HX\",\n"
                    "\t\t\t\"Device_Ver\":\t\"1.0.0\",\n"
                    "\t\t\t\"Wired_MacAddr\":\t\"aa:bb:cc:00:00:01\",\n"
                    "\t\t\t\"Device_UserName\":\t\"TALVO\",\n"
                    "\t\t\t\"Device_PwdMd5\":\t\"e2c7a66d7da5e004b38164ddc0720422\",\n"
                    "\t\t\t\"Device_Alias\":\t\"\",\n"
                    "\t\t\t\"Device_Group\":\t\"\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9\"\n"
                    "\t\t}, {\n"
                    "\t\t\t\"Wifi_SSID\":\t\"Room\",\n"
                    "\t\t\t\"Wired_IpAddr\":\t\"127.0.1.2\",\n"
                    "\t\t\t\"Device_Type\":\t\"TALVO_JX\",\n"
                    "\t\t\t\"Device_Ver\":\t\"1.0.0\",\n"
                    "\t\t\t\"Wired_MacAddr\":\t\"aa:bb:cc:00:00:02\",\n"
                    "\t\t\t\"Device_UserName\":\t\"TALVO\",\n"
                    "\t\t\t\"Device_PwdMd5\":\t\"e2c7a66d7da5e004b38164ddc0720422\",\n"
                    "\t\t\t\"Device_Alias\":\t\"\",\n"
                    "\t\t\t\"Device_Group\":\t\"Floor 2\"\n"
                    "\t\t}]\n"
                    "}\n");

    Start();
    std::vector<DeviceInfo> devices = ManagedDevices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(std::string(devices[0].Device_Group), kDefaultGroup);
    EXPECT_STREQ(devices[1].Device_Type, "TALVO_JX");
    EXPECT_EQ(Internals().Managed().Find("aa:bb:cc:00:00:02")->Model(), 1u);
    EXPECT_EQ(Internals().Managed().Find("aa:bb:cc:00:00:02")->State(), ZR_QM_STATE_OFFLINE);
    EXPECT_TRUE(BadCopies("DevsInfo.ini").empty());
}

TEST_F(StoresTest, DeviceEntriesLogInWithTheOperateCredentials) {
    const std::string foreign = "ffffffffffffffffffffffffffffffff";
    cwd_.Write("DevsInfo.ini", DeviceStore({DeviceEntry("aa:bb:cc:00:00:01", "TALVO_HX", "", "root", foreign),
                                            DeviceEntry("aa:bb:cc:00:00:02", "TALVO_JX", "", "guest", foreign)},
                                           "operator", "0123456789abcdef0123456789abcdef"));
    Start();
    for (const DeviceInfo &info : ManagedDevices()) {
        EXPECT_STREQ(info.Device_UserName, "operator");
        EXPECT_STREQ(info.Device_PwdMd5, "0123456789abcdef0123456789abcdef");
    }
    ZR_QM_DeInit();
    std::string text = cwd_.Read("DevsInfo.ini");
    EXPECT_EQ(text.find("root"), std::string::npos);
    EXPECT_EQ(text.find("guest"), std::string::npos);
    EXPECT_EQ(text.find(foreign), std::string::npos);
    EXPECT_NE(text.find("\"Device_UserName\":\t\"operator\""), std::string::npos);
}

TEST_F(StoresTest, AccountStoreWithoutAdminGainsItAtOnce) {
    cwd_.Write("AccountInfo.ini", "{\"Account_Num\":2,\"Accounts\":["
                                  "{\"User_Name\":\"alice\",\"User_Pwd\":\"" + kAdminPwdMd5 + "\",\"User_Type\":1},"
                                  "{\"User_Name\":\"alice\",\"User_Pwd\":\"x\",\"User_Type\":2}]}");
    Start();
    std::string text = cwd_.Read("AccountInfo.ini");
    EXPECT_NE(text.find("\"Account_Num\":\t2"), std::string::npos); // alice once, then admin
    EXPECT_LT(text.find("alice"), text.find("admin"));
    EXPECT_EQ(ZR_QM_Login("alice", "pelun"), 1);
}

TEST_F(StoresTest, DeletingTheLastDeviceDropsTheArrayKey) {
    Start();
    Manage({Record("aa:bb:cc:00:00:01")});
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find("\"Devices\""), std::string::npos);
    ASSERT_EQ(ZR_QM_DelDevice("aa:bb:cc:00:00:01"), 0);
    std::string text = cwd_.Read("DevsInfo.ini");
    EXPECT_EQ(text.find("Devices"), std::string::npos);
    EXPECT_NE(text.find("\"Dev_Num\":\t0"), std::string::npos);
    ASSERT_EQ(ZR_QM_AddDevGroup("G"), 0);
    ASSERT_EQ(ZR_QM_DelDevGroup("G"), 0);
    EXPECT_EQ(cwd_.Read("GroupsInfo.ini").find("Groups"), std::string::npos);
}

TEST_F(StoresTest, EachOperationRewritesItsStores) {
    cwd_.Write("DevsInfo.ini", DeviceStore({DeviceEntry("aa:bb:cc:00:00:01", "TALVO_HX", "A"),
                                            DeviceEntry("aa:bb:cc:00:00:02", "TALVO_HX", "A"),
                                            DeviceEntry("aa:bb:cc:00:00:03", "TALVO_HX", "B")}));
    cwd_.Write("GroupsInfo.ini", GroupStore({"A", "B", "C", "D"}));
    Start();
    Discover(Record("aa:bb:cc:00:00:09"));
    Login();
    ASSERT_EQ(ZR_QM_AddUser("bob", "pw", 2), 0);

    ZR_QM_MacText found[] = {"aa:bb:cc:00:00:09"}, unknown[] = {"aa:bb:cc:00:00:99"};
    DeviceInfo info{};
    DeviceInfo *list = nullptr;
    struct Case {
        const char *what;
        std::function<int()> call;
        int result;
        const char *rewritten;
    } cases[] = {
        {"list", [&] { int n = ZR_QM_GetDeviceList(&list); std::free(list); return n; }, 3, ""},
        {"info", [&] { return ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info); }, 0, ""},
        {"alias", [] { return ZR_QM_SaveDevAlias("aa:bb:cc:00:00:01", "Hall"); }, 0, "DevsInfo.ini"},
        {"same alias", [] { return ZR_QM_SaveDevAlias("aa:bb:cc:00:00:01", "Hall"); }, 0, ""},
        {"move", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", "C"); }, 1, "DevsInfo.ini"},
        {"move where it is", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", "C"); }, 0, ""},
        {"move to no group", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", "Z"); }, ZR_QM_ERR_GROUP, ""},
        {"device credentials", [] { return ZR_QM_SetDevLoginUserNamePwd("aa:bb:cc:00:00:01", "u", "p"); }, 0,
         "DevsInfo.ini"},
        {"adopt", [&] { return ZR_QM_AddSearchDevicesToDeviceList(found, 1); }, 1, "DevsInfo.ini"},
        {"adopt nothing", [&] { return ZR_QM_AddSearchDevicesToDeviceList(unknown, 1); }, 0, "DevsInfo.ini"},
        {"delete unknown", [] { return ZR_QM_DelDevice("aa:bb:cc:00:00:99"); }, ZR_QM_ERR_DEV_NOT_FOUND, ""},
        {"delete", [] { return ZR_QM_DelDevice("aa:bb:cc:00:00:09"); }, 0, "DevsInfo.ini"},
        {"add group", [] { return ZR_QM_AddDevGroup("E"); }, 0, "GroupsInfo.ini"},
        {"add group twice", [] { return ZR_QM_AddDevGroup("E"); }, ZR_QM_ERR_GROUP, ""},
        {"rename with devices", [] { return ZR_QM_ChangeGroupName("A", "A2"); }, 0, "DevsInfo.ini GroupsInfo.ini"},
        {"rename empty group", [] { return ZR_QM_ChangeGroupName("D", "D2"); }, 0, "GroupsInfo.ini"},
        {"rename to itself", [] { return ZR_QM_ChangeGroupName("B", "B"); }, 0, ""},
        {"rename onto a group", [] { return ZR_QM_ChangeGroupName("B", "C"); }, ZR_QM_ERR_GROUP, ""},
        {"delete group with devices", [] { return ZR_QM_DelDevGroup("B"); }, 0, "DevsInfo.ini GroupsInfo.ini"},
        {"delete empty group", [] { return ZR_QM_DelDevGroup("E"); }, 0, "GroupsInfo.ini"},
        {"delete no group", [] { return ZR_QM_DelDevGroup("nothing"); }, 0, "GroupsInfo.ini"},
        {"add user", [] { return ZR_QM_AddUser("carol", "pw", 1); }, 0, "AccountInfo.ini"},
        {"add user twice", [] { return ZR_QM_AddUser("carol", "pw", 1); }, ZR_QM_ERR_USER_EXISTS, ""},
        {"user password", [] { return ZR_QM_ModifyUserPwd("carol", "pw", "new"); }, 0, "AccountInfo.ini"},
        {"wrong user password", [] { return ZR_QM_ModifyUserPwd("carol", "pw", "x"); }, ZR_QM_ERR_PASSWORD, ""},
        {"user type", [] { return ZR_QM_ModifyUserType("carol", 2); }, 0, "AccountInfo.ini"},
        {"delete user", [] { return ZR_QM_DelUser("bob"); }, 0, "AccountInfo.ini"},
        {"delete admin", [] { return ZR_QM_DelUser("admin"); }, ZR_QM_ERR_SUPER_ADMIN, ""},
        {"log out", [] { return ZR_QM_Logout(); }, 0, ""},
        {"log in", [] { return ZR_QM_Login("carol", "new"); }, 2, ""},
        {"stop", [] { return ZR_QM_DeInit(); }, 0, "DevsInfo.ini GroupsInfo.ini"},
    };
    for (const auto &c : cases) {
        RemoveStores();
        EXPECT_EQ(c.call(), c.result) << c.what;
        EXPECT_EQ(Rewritten(), c.rewritten) << c.what;
    }
}

// A store that did not load whole is copied aside before it is first
// rewritten; a file that loaded whole, or no file, leaves no copy.
TEST_F(StoresTest, BrokenStoresAreKeptBeforeTheDefaultsReplaceThem) {
    struct Case {
        const char *name;
        std::string content;
    } cases[] = {
        {"DevsInfo.ini", "{\"DevOperateUserName\":\"TALVO\",\"Dev_Num\":3,\"Devices\":[{\"Wired_Mac"},
        {"GroupsInfo.ini", "not json at all"},
        {"AccountInfo.ini", std::string("\0\1\2", 3)},
    };
    for (const auto &c : cases) cwd_.Write(c.name, c.content);
    LogCapture log;
    Start();
    for (const auto &c : cases) {
        std::vector<std::string> copies = BadCopies(c.name);
        ASSERT_EQ(copies.size(), 1u) << c.name;
        EXPECT_EQ(cwd_.Read(copies[0]), c.content) << c.name;
        EXPECT_TRUE(log.Contains(c.name + std::string(" did not load whole, its contents are kept in ") + copies[0]));
    }
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find(kOperatePwdMd5), std::string::npos); // defaults
    EXPECT_EQ(ZR_QM_Login("admin", "pelun"), 0);
    ZR_QM_DeInit();
    for (const auto &c : cases) EXPECT_EQ(BadCopies(c.name).size(), 1u) << "one copy only: " << c.name;
}

TEST_F(StoresTest, BadRecordsAreSkippedAndEveryoneCanStillLogIn) {
    const std::string devices =
        DeviceStore({DeviceEntry("aa:bb:cc:00:00:01"), DeviceEntry("aa:bb:cc:00:00:02", "TALVO_QX"),
                     DeviceEntry("AA:BB:CC:00:00:01", "TALVO_JX"), DeviceEntry("aa:bb:cc:00:00:03", "TALVO_TX")});
    const std::string groups = GroupStore({"A", "B", "A", "C"});
    cwd_.Write("DevsInfo.ini", devices);
    cwd_.Write("GroupsInfo.ini", groups);
    LogCapture log;
    Start(-1); // the caller can see the stores were not clean
    EXPECT_TRUE(log.Contains("add device to list failed."));
    EXPECT_TRUE(log.Contains("add device group to list failed."));
    EXPECT_EQ(ManagedMacs(), (std::vector<std::string>{"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:03"}));
    EXPECT_EQ(GroupNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(ZR_QM_Login("admin", "pelun"), 0);
    EXPECT_TRUE(BadCopies("DevsInfo.ini").empty()); // nothing rewritten yet

    ASSERT_EQ(ZR_QM_SaveDevAlias("aa:bb:cc:00:00:03", "Hall"), 0); // first rewrite
    std::vector<std::string> copies = BadCopies("DevsInfo.ini");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(cwd_.Read(copies[0]), devices);
    ZR_QM_DeInit();
    ASSERT_EQ(BadCopies("GroupsInfo.ini").size(), 1u);
    EXPECT_EQ(cwd_.Read(BadCopies("GroupsInfo.ini")[0]), groups);
    EXPECT_EQ(BadCopies("DevsInfo.ini").size(), 1u);
    EXPECT_TRUE(BadCopies("AccountInfo.ini").empty());

    Start(); // what was saved loads clean
    EXPECT_EQ(ManagedMacs().size(), 2u);
}

TEST_F(StoresTest, ACountBeyondTheFileNeitherExhaustsMemoryNorLosesEntries) {
    const std::string devices = "{\"DevOperateUserName\":\"TALVO\",\"DevOperatePwdMd5\":\"" + kOperatePwdMd5 +
                                "\",\"Dev_Num\":2147483647,\"Devices\":[" + DeviceEntry("aa:bb:cc:00:00:01") + "]}";
    cwd_.Write("DevsInfo.ini", devices);
    cwd_.Write("GroupsInfo.ini", "{\"Group_Num\":2147483647}");
    Start(-1);
    EXPECT_EQ(ManagedMacs(), (std::vector<std::string>{"aa:bb:cc:00:00:01"}));
    EXPECT_TRUE(GroupNames().empty());
    ZR_QM_DeInit();
    ASSERT_EQ(BadCopies("DevsInfo.ini").size(), 1u);
    EXPECT_EQ(cwd_.Read(BadCopies("DevsInfo.ini")[0]), devices);
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find("\"Dev_Num\":\t1"), std::string::npos);
}

TEST_F(StoresTest, StoresThatLoadedWholeLeaveNoCopy) {
    cwd_.Write("DevsInfo.ini", DeviceStore({DeviceEntry("aa:bb:cc:00:00:01")}));
    cwd_.Write("GroupsInfo.ini", GroupStore({"A"}));
    Start();
    ASSERT_EQ(ZR_QM_AddDevGroup("B"), 0);
    ASSERT_EQ(ZR_QM_AddUser("bob", "pw", 2), 0);
    ZR_QM_DeInit();
    for (const char *name : kStores) EXPECT_TRUE(BadCopies(name).empty()) << name;
}

} // namespace
