// Groups and aliases, through the exports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library_fixture.h"

namespace {

using namespace korvel::testing;

class GroupsTest : public LibraryTest {
protected:
    void SetUp() override {
        cwd_.Write("DevsInfo.ini", DeviceStore({DeviceEntry("aa:bb:cc:00:00:01", "TALVO_HX", "A"),
                                                DeviceEntry("aa:bb:cc:00:00:02", "TALVO_HX", "A"),
                                                DeviceEntry("aa:bb:cc:00:00:03", "TALVO_HX", "B")}));
        cwd_.Write("GroupsInfo.ini", GroupStore({"A", "B"}));
        Start();
    }

    std::vector<std::string> GroupMembers(const char *group) {
        DeviceInfo *devices = nullptr;
        std::vector<std::string> macs;
        int count = ZR_QM_GetGroupDevList(group, &devices);
        for (const DeviceInfo &info : TakeList(count, devices))
            macs.emplace_back(info.Wired_MacAddr);
        return macs;
    }
};

using Names = std::vector<std::string>;

TEST_F(GroupsTest, GroupListRules) {
    RunSteps({
        {"null", [] { return ZR_QM_AddDevGroup(nullptr); }, ZR_QM_ERR_PARAM},
        {"add", [] { return ZR_QM_AddDevGroup("C"); }, 0},
        {"add twice", [] { return ZR_QM_AddDevGroup("C"); }, ZR_QM_ERR_GROUP},
        {"other case is another group", [] { return ZR_QM_AddDevGroup("c"); }, 0},
        {"rename, null", [] { return ZR_QM_ChangeGroupName("C", nullptr); }, ZR_QM_ERR_PARAM},
        {"rename onto a group", [] { return ZR_QM_ChangeGroupName("C", "A"); }, ZR_QM_ERR_GROUP},
        {"rename no group", [] { return ZR_QM_ChangeGroupName("Z", "Y"); }, ZR_QM_ERR_GROUP},
        {"rename to the same name", [] { return ZR_QM_ChangeGroupName("Z", "Z"); }, 0},
        {"rename in place", [] { return ZR_QM_ChangeGroupName("A", "A2"); }, 0},
    });
    EXPECT_EQ(GroupNames(), (Names{"A2", "B", "C", "c"}));
    EXPECT_EQ(GroupMembers("A2"), (Names{"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:02"}));
    EXPECT_TRUE(GroupMembers("A").empty());

    ZR_QM_GroupName *names = reinterpret_cast<ZR_QM_GroupName *>(0x1);
    for (const std::string &name : GroupNames()) ASSERT_EQ(ZR_QM_DelDevGroup(name.c_str()), 0);
    EXPECT_EQ(ZR_QM_GetGroupList(&names), 0);
    EXPECT_EQ(names, reinterpret_cast<ZR_QM_GroupName *>(0x1)); // untouched
    EXPECT_EQ(ZR_QM_GetGroupList(nullptr), ZR_QM_ERR_PARAM);
    EXPECT_EQ(ZR_QM_ChangeGroupName("X", "Y"), ZR_QM_ERR_GROUP); // empty list
}

TEST_F(GroupsTest, DeletingAGroupMovesItsDevicesToTheDefaultGroup) {
    EXPECT_EQ(ZR_QM_DelDevGroup("A"), 0);
    EXPECT_EQ(GroupNames(), (Names{"B"}));
    EXPECT_EQ(GroupMembers(kDefaultGroup.c_str()), (Names{"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:02"}));
    EXPECT_EQ(ZR_QM_DelDevGroup("not a group"), 0);
    EXPECT_EQ(ZR_QM_DelDevGroup(nullptr), ZR_QM_ERR_PARAM);

    // The default group is a group like any other once listed.
    ASSERT_EQ(ZR_QM_AddDevGroup(kDefaultGroup.c_str()), 0);
    EXPECT_EQ(ZR_QM_DelDevGroup(kDefaultGroup.c_str()), 0);
    EXPECT_EQ(GroupNames(), (Names{"B"}));
    EXPECT_EQ(GroupOf("aa:bb:cc:00:00:01"), kDefaultGroup);

    ZR_QM_DeInit();
    Start();
    EXPECT_EQ(GroupOf("aa:bb:cc:00:00:02"), kDefaultGroup);
}

TEST_F(GroupsTest, MovingADevice) {
    RunSteps({
        {"null group", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", nullptr); }, ZR_QM_ERR_PARAM},
        {"no such group", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", "Z"); }, ZR_QM_ERR_GROUP},
        {"no such device", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:09", "B"); }, ZR_QM_ERR_DEV_NOT_FOUND},
        {"where it is", [] { return ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:01", "A"); }, 0},
        {"to another group", [] { return ZR_QM_MoveDevToNewGroup("AA:BB:CC:00:00:01", "B"); }, 1},
    });
    EXPECT_EQ(GroupMembers("B"), (Names{"aa:bb:cc:00:00:01", "aa:bb:cc:00:00:03"}));
    EXPECT_EQ(GroupMembers("A"), (Names{"aa:bb:cc:00:00:02"}));
    EXPECT_TRUE(GroupMembers("Z").empty());
    DeviceInfo *devices = nullptr;
    EXPECT_EQ(ZR_QM_GetGroupDevList(nullptr, &devices), ZR_QM_ERR_PARAM);
    EXPECT_EQ(ZR_QM_GetGroupDevList("A", nullptr), ZR_QM_ERR_PARAM);
}

TEST_F(GroupsTest, GroupNamesThatDoNotFitAreRefused) {
    const std::string fits(127, 'g'), too_long(128, 'g');
    EXPECT_EQ(ZR_QM_AddDevGroup(too_long.c_str()), ZR_QM_ERR_GROUP_NAME_LONG);
    EXPECT_EQ(ZR_QM_ChangeGroupName("A", too_long.c_str()), ZR_QM_ERR_GROUP_NAME_LONG);
    EXPECT_EQ(GroupNames(), (Names{"A", "B"}));
    EXPECT_EQ(GroupOf("aa:bb:cc:00:00:01"), "A");

    EXPECT_EQ(ZR_QM_AddDevGroup(fits.c_str()), 0);
    EXPECT_EQ(ZR_QM_MoveDevToNewGroup("aa:bb:cc:00:00:03", fits.c_str()), 1);
    EXPECT_EQ(ZR_QM_ChangeGroupName("A", (fits.substr(1) + "h").c_str()), 0);
    ZR_QM_DeInit();
    Start();
    EXPECT_EQ(GroupNames(), (Names{fits.substr(1) + "h", "B", fits}));
    EXPECT_EQ(GroupOf("aa:bb:cc:00:00:03"), fits);
}

TEST_F(GroupsTest, AliasesAreCutAtACodePage936CharacterBoundary) {
    const std::string wide = "\xC4\xAC"; // one double-byte character
    std::string many_wide;
    for (int i = 0; i < 100; ++i) many_wide += wide;
    struct Case {
        std::string alias;
        std::string stored;
    } cases[] = {
        {"Hall", "Hall"},
        {"", ""},
        {std::string(127, 'a'), std::string(127, 'a')},
        {std::string(300, 'a'), std::string(127, 'a')},
        {"a" + many_wide, "a" + many_wide.substr(0, 126)},  // 1 + 63 characters: 127 bytes
        {"ab" + many_wide, "ab" + many_wide.substr(0, 124)}, // the 63rd character would end at 128
        {many_wide, many_wide.substr(0, 126)},
        {std::string(126, 'a') + "\x81\x7F" + "b", std::string(126, 'a') + "\x81"}, // 0x7F trails nothing
    };
    for (const auto &c : cases) {
        ASSERT_EQ(ZR_QM_SaveDevAlias("aa:bb:cc:00:00:01", c.alias.c_str()), 0);
        DeviceInfo info{};
        ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:01", &info), 0);
        EXPECT_EQ(std::string(info.Device_Alias), c.stored) << c.alias.size() << " bytes";
    }
    EXPECT_EQ(ZR_QM_SaveDevAlias("aa:bb:cc:00:00:09", "x"), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(ZR_QM_SaveDevAlias("aa:bb:cc:00:00:01", nullptr), ZR_QM_ERR_PARAM);

    ASSERT_EQ(ZR_QM_SaveDevAlias("aa:bb:cc:00:00:02", ("a" + many_wide).c_str()), 0);
    ZR_QM_DeInit();
    Start();
    DeviceInfo info{};
    ASSERT_EQ(ZR_QM_GetDeviceInfo("aa:bb:cc:00:00:02", &info), 0);
    EXPECT_EQ(std::string(info.Device_Alias), "a" + many_wide.substr(0, 126));
}

} // namespace
