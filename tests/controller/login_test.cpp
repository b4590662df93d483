// Start-up and the login window: refusals, field limits, the main window's
// modal run and what the login window shows after it, and the program's end.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "app/login_dlg.h"
#include "app/qm_app.h"
#include "app/qm_dlg.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

class LoginTest : public ControllerTest {
protected:
    void Attempt(CLoginDlg &login, const QString &user, const QString &password) {
        login.UserNameBox()->setText(user);
        login.PasswordBox()->setText(password);
        FindButton(&login, QStringLiteral("登录"))->click();
    }
};

TEST_F(LoginTest, EveryRefusalShowsOneMessageAndEmptiesOnlyThePassword) {
    StartLibrary();
    ASSERT_EQ(ZR_QM_AddUser("operator", "secret123", ZR_QM_USER_ADMIN), 0);
    struct Case {
        const char *user;
        const char *password;
    };
    const Case cases[] = {
        {"", "pelun"},          // no user name
        {"admin", ""},          // no password
        {"nobody", "pelun"},    // no such account
        {"admin", "wrong"},     // wrong password
        {"Admin", "pelun"},     // names are compared with their letter case
        {"operator", "pelun"},  // another account's password
    };
    CLoginDlg login;
    for (const Case &c : cases) {
        prompts_.Clear();
        Attempt(login, QString::fromUtf8(c.user), QString::fromUtf8(c.password));
        ASSERT_EQ(prompts_.Shown().size(), 1u) << c.user << "/" << c.password;
        EXPECT_EQ(prompts_.Shown()[0].kind, PromptKind::Notice);
        EXPECT_EQ(prompts_.Shown()[0].text, QStringLiteral("用户或密码错误！"));
        EXPECT_EQ(login.UserNameBox()->text(), QString::fromUtf8(c.user));
        EXPECT_TRUE(login.PasswordBox()->text().isEmpty());
    }
    EXPECT_TRUE(windows_.Opened().empty());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN);
}

TEST_F(LoginTest, BoxesTakeThirtyAndTwentyCharacters) {
    StartLibrary();
    CLoginDlg login;
    login.show();
    QTest::keyClicks(login.UserNameBox(), QString(31, QLatin1Char('u')));
    QTest::keyClicks(login.PasswordBox(), QString(21, QLatin1Char('p')));
    EXPECT_EQ(login.UserNameBox()->text().size(), 30);
    EXPECT_EQ(login.PasswordBox()->text().size(), 20);
    EXPECT_EQ(login.PasswordBox()->echoMode(), QLineEdit::Password);

    // Enter logs in as the button does: here a refusal for the over-long name.
    QTest::keyClick(login.PasswordBox(), Qt::Key_Return);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("用户或密码错误！")});
    EXPECT_TRUE(login.PasswordBox()->text().isEmpty());

    FindButton(&login, QStringLiteral("重置"))->click();
    EXPECT_TRUE(login.UserNameBox()->text().isEmpty());
    EXPECT_TRUE(login.PasswordBox()->text().isEmpty());
}

// After a log-out, and after Escape in the main window, the login window is
// back with the previous user name and an empty password, and the next
// log-in is accepted: nobody is left logged in.
TEST_F(LoginTest, MainWindowRunsModallyAndLoginWindowReturnsAfterIt) {
    StartLibrary();
    CLoginDlg login;
    login.show();
    struct Leave {
        const char *how;
        std::function<void(CQMDlg &)> leave;
    };
    const Leave ways[] = {
        {"log out", [](CQMDlg &window) { FindButton(&window, QStringLiteral("注销"))->click(); }},
        {"Escape", [](CQMDlg &window) { QTest::keyClick(&window, Qt::Key_Escape); }},
    };
    for (const Leave &way : ways) {
        bool ran = false;
        WhenModal<CQMDlg>([&](CQMDlg &window) {
            ran = true;
            EXPECT_FALSE(login.isVisible()) << way.how;
            EXPECT_EQ(window.parentWidget(), &login);
            EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_USER_SUPER_ADMIN);
            way.leave(window);
        });
        Attempt(login, QStringLiteral("admin"), QStringLiteral("pelun"));
        EXPECT_TRUE(ran) << way.how;
        EXPECT_TRUE(login.isVisible()) << way.how;
        EXPECT_EQ(login.UserNameBox()->text(), QStringLiteral("admin"));
        EXPECT_TRUE(login.PasswordBox()->text().isEmpty());
        EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN) << way.how;
    }
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("确认要注销用户吗?")});
}

// The whole run: start, log in, confirm exit in the main window; the login
// window does not come back and the library is shut down.
TEST_F(LoginTest, ConfirmedExitEndsTheProgram) {
    bool login_shown_again = false;
    WhenModal<CLoginDlg>([&](CLoginDlg &login) {
        WhenModal<CQMDlg>([](CQMDlg &window) { window.close(); });
        login.UserNameBox()->setText(QStringLiteral("admin"));
        login.PasswordBox()->setText(QStringLiteral("pelun"));
        login.OnLogin(); // returns when the main window's run has ended
        login_shown_again = login.isVisible();
    });
    auto *app = qobject_cast<CQMApp *>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->Run(), 0);
    EXPECT_FALSE(login_shown_again);
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("确认要退出吗?")});
    EXPECT_TRUE(std::filesystem::exists("AccountInfo.ini")); // the library ran here
    EXPECT_EQ(ZR_QM_Login("admin", "pelun"), ZR_QM_ERR_NOT_INIT);
}

} // namespace
} // namespace talvo::testing
