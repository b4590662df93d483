// Operator accounts and the library login, through the exports.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "log_capture.h"

namespace {

using namespace korvel::testing;

std::vector<UserAccount> Accounts() {
    UserAccount *accounts = nullptr;
    int count = ZR_QM_GetAllUserAccountInfo(&accounts);
    return TakeList(count, accounts);
}

class AccountsTest : public LibraryTest {
protected:
    void SetUp() override { Start(); }
};

TEST_F(AccountsTest, LoginStatesAndTheOrderOfTheChecks) {
    char name[32] = "untouched";
    RunSteps({
        {"type before login", [] { return ZR_QM_GetCurUserType(); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"name before login", [&] { return ZR_QM_GetCurUserName(name); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"logout before login", [] { return ZR_QM_Logout(); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"null user", [] { return ZR_QM_Login(nullptr, "pelun"); }, ZR_QM_ERR_PARAM},
        {"empty password", [] { return ZR_QM_Login("admin", ""); }, ZR_QM_ERR_PARAM},
        {"unknown user", [] { return ZR_QM_Login("nobody", "pelun"); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"name differs in case", [] { return ZR_QM_Login("Admin", "pelun"); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"wrong password", [] { return ZR_QM_Login("admin", "Pelun"); }, ZR_QM_ERR_PASSWORD},
        {"the digest is no password", [] { return ZR_QM_Login("admin", kAdminPwdMd5.c_str()); }, ZR_QM_ERR_PASSWORD},
        {"fresh install", [] { return ZR_QM_Login("admin", "pelun"); }, ZR_QM_USER_SUPER_ADMIN},
        {"again, whatever the credentials", [] { return ZR_QM_Login("nobody", ""); }, ZR_QM_ERR_ALREADY_LOGGED_IN},
        {"type", [] { return ZR_QM_GetCurUserType(); }, ZR_QM_USER_SUPER_ADMIN},
        {"name", [&] { return ZR_QM_GetCurUserName(name); }, 0},
        {"name into null", [] { return ZR_QM_GetCurUserName(nullptr); }, ZR_QM_ERR_PARAM},
        {"logout", [] { return ZR_QM_Logout(); }, 0},
        {"type after logout", [] { return ZR_QM_GetCurUserType(); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"login after logout", [] { return ZR_QM_Login("admin", "pelun"); }, 0},
    });
    EXPECT_STREQ(name, "admin");
}

TEST_F(AccountsTest, AccountRules) {
    LogCapture log;
    RunSteps({
        // Adding needs no login.
        {"type 3", [] { return ZR_QM_AddUser("bob", "pw", 3); }, ZR_QM_ERR_PARAM},
        {"type -1", [] { return ZR_QM_AddUser("bob", "pw", -1); }, ZR_QM_ERR_PARAM},
        {"empty name", [] { return ZR_QM_AddUser("", "pw", 1); }, ZR_QM_ERR_PARAM},
        {"null password", [] { return ZR_QM_AddUser("bob", nullptr, 1); }, ZR_QM_ERR_PARAM},
        {"add", [] { return ZR_QM_AddUser("bob", "pw", 1); }, 0},
        {"add twice", [] { return ZR_QM_AddUser("bob", "other", 2); }, ZR_QM_ERR_USER_EXISTS},
        {"other case is another user", [] { return ZR_QM_AddUser("Bob", "pw", 2); }, 0},
        // The rest needs a login; argument checks come first.
        {"delete, empty name", [] { return ZR_QM_DelUser(""); }, ZR_QM_ERR_PARAM},
        {"delete, not logged in", [] { return ZR_QM_DelUser("bob"); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"password, not logged in", [] { return ZR_QM_ModifyUserPwd("bob", "pw", "x"); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"password, empty new", [] { return ZR_QM_ModifyUserPwd("bob", "pw", ""); }, ZR_QM_ERR_PARAM},
        {"type, not logged in", [] { return ZR_QM_ModifyUserType("bob", 2); }, ZR_QM_ERR_NOT_LOGGED_IN},
        {"type, null name", [] { return ZR_QM_ModifyUserType(nullptr, 2); }, ZR_QM_ERR_PARAM},
        {"login as bob", [] { return ZR_QM_Login("bob", "pw"); }, ZR_QM_USER_ADMIN},
        {"delete unknown", [] { return ZR_QM_DelUser("nobody"); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"delete admin", [] { return ZR_QM_DelUser("admin"); }, ZR_QM_ERR_SUPER_ADMIN},
        {"password of unknown", [] { return ZR_QM_ModifyUserPwd("nobody", "pw", "x"); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"wrong current password", [] { return ZR_QM_ModifyUserPwd("admin", "pw", "x"); }, ZR_QM_ERR_PASSWORD},
        {"change admin's password", [] { return ZR_QM_ModifyUserPwd("admin", "pelun", "secret"); }, 0},
        {"type of unknown", [] { return ZR_QM_ModifyUserType("nobody", 1); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"type out of range is stored", [] { return ZR_QM_ModifyUserType("Bob", 7); }, 0},
        {"change own type", [] { return ZR_QM_ModifyUserType("bob", 2); }, 0},
        {"current type stays", [] { return ZR_QM_GetCurUserType(); }, ZR_QM_USER_ADMIN},
        {"delete itself", [] { return ZR_QM_DelUser("bob"); }, 0},
        {"current type still stays", [] { return ZR_QM_GetCurUserType(); }, ZR_QM_USER_ADMIN},
        {"logout", [] { return ZR_QM_Logout(); }, 0},
        {"deleted user is gone", [] { return ZR_QM_Login("bob", "pw"); }, ZR_QM_ERR_USER_NOT_FOUND},
        {"old admin password", [] { return ZR_QM_Login("admin", "pelun"); }, ZR_QM_ERR_PASSWORD},
        {"new admin password", [] { return ZR_QM_Login("admin", "secret"); }, 0},
    });
    EXPECT_TRUE(log.Contains("add user account failed"));
    EXPECT_TRUE(log.Contains("delete user account failed"));

    std::vector<UserAccount> accounts = Accounts();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_STREQ(accounts[0].User_Name, "admin");
    EXPECT_STREQ(accounts[1].User_Name, "Bob");
    EXPECT_EQ(accounts[1].User_Type, 7);
    EXPECT_EQ(ZR_QM_GetAllUserAccountInfo(nullptr), ZR_QM_ERR_PARAM);

    // Everything survives a restart.
    ZR_QM_DeInit();
    Start();
    accounts = Accounts();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[1].User_Type, 7);
    EXPECT_EQ(ZR_QM_Login("admin", "secret"), 0);
}

TEST_F(AccountsTest, UserNamesThatDoNotFitAreRefused) {
    const std::string fits(31, 'u'), too_long(32, 'u');
    EXPECT_EQ(ZR_QM_AddUser(too_long.c_str(), "pw", 2), ZR_QM_ERR_PARAM);
    EXPECT_EQ(ZR_QM_AddUser((too_long + "more").c_str(), "pw", 2), ZR_QM_ERR_PARAM);
    EXPECT_EQ(Accounts().size(), 1u);
    EXPECT_EQ(ZR_QM_AddUser(fits.c_str(), "pw", 2), 0);
    EXPECT_EQ(ZR_QM_Login(fits.c_str(), "pw"), 2);
    EXPECT_EQ(ZR_QM_Logout(), 0);
    // A longer name never matches the account whose name is its start.
    EXPECT_EQ(ZR_QM_Login(too_long.c_str(), "pw"), ZR_QM_ERR_USER_NOT_FOUND);
}

} // namespace
