// The account windows: user administration with its add and modify windows,
// the change of the operator's own password (which ends the log-in), and the
// device communication password.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>

#include "app/login_dlg.h"
#include "app/modify_dev_operate_pwd_dlg.h"
#include "app/qm_dlg.h"
#include "app/user_account_add_dlg.h"
#include "app/user_administration_dlg.h"
#include "app/user_modify_dlg.h"
#include "app/user_pwd_modify_dlg.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using Account = CUserAdministrationDlg::Column;

QLineEdit *Box(QWidget &window, const char *name) { return window.findChild<QLineEdit *>(QString::fromLatin1(name)); }

void Fill(QWidget &window, std::initializer_list<std::pair<const char *, QString>> boxes) {
    for (const auto &[name, text] : boxes) Box(window, name)->setText(text);
}

bool AllEmpty(QWidget &window, std::initializer_list<const char *> names) {
    for (const char *name : names)
        if (!Box(window, name)->text().isEmpty()) return false;
    return true;
}

struct PasswordCase {
    QString current, fresh, confirmation;
    const char *notice;
};

// Each case is refused with its notice, and every box is emptied after it.
void ExpectRefused(QDialog &window, const std::vector<PasswordCase> &cases, ScriptedPrompter &prompts) {
    for (const PasswordCase &c : cases) {
        prompts.Clear();
        Fill(window, {{"current", c.current}, {"new", c.fresh}, {"confirmation", c.confirmation}});
        FindButton(&window, QStringLiteral("更改密码"))->click();
        EXPECT_EQ(prompts.Texts(), QStringList{QString::fromUtf8(c.notice)}) << c.notice;
        EXPECT_TRUE(AllEmpty(window, {"current", "new", "confirmation"})) << c.notice;
        EXPECT_TRUE(window.isVisible()) << c.notice;
    }
}

int LibraryTypeOf(const char *user) {
    UserAccount *accounts = nullptr;
    const int count = ZR_QM_GetAllUserAccountInfo(&accounts);
    int type = -1;
    for (int i = 0; i < count; ++i)
        if (std::string(accounts[i].User_Name) == user) type = accounts[i].User_Type;
    if (count > 0) std::free(accounts);
    return type;
}

class UserWindowsTest : public ControllerTest {
protected:
    void StartAs(const char *user, const char *password) {
        StartLibrary();
        ASSERT_EQ(ZR_QM_AddUser("manager", "manager123", ZR_QM_USER_ADMIN), 0);
        ASSERT_EQ(ZR_QM_AddUser("viewer", "viewer123", ZR_QM_USER_ORDINARY), 0);
        LogIn(user, password);
        window_ = OpenMainWindow();
        window_->show();
    }

    static QStringList Rows(QTreeWidget *list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    static void Select(CUserAdministrationDlg &window, const char *user) {
        QTreeWidget *list = window.AccountList();
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (CUserAdministrationDlg::NameOf(list->topLevelItem(i)) == user) list->topLevelItem(i)->setSelected(true);
    }

    std::unique_ptr<CQMDlg> window_;
};

TEST_F(UserWindowsTest, AdministrationListsEveryAccountWithItsTypeAndAHiddenPassword) {
    StartAs("admin", "pelun");
    ASSERT_EQ(ZR_QM_AddUser("odd", "odd12345", ZR_QM_USER_ORDINARY), 0);
    ASSERT_EQ(ZR_QM_ModifyUserType("odd", 7), 0); // the library keeps any type
    CUserAdministrationDlg users(window_.get(), window_.get());
    users.show();
    EXPECT_EQ(users.windowTitle(), QStringLiteral("用户管理"));
    QTreeWidget *list = users.AccountList();
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("用户名称"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("用户类型"));
    EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("用户密码"));
    const int width = list->viewport()->width(); // a third each, the password column the rest
    EXPECT_NEAR(list->columnWidth(Account::kNameColumn), width / 3, 1);
    EXPECT_NEAR(list->columnWidth(Account::kTypeColumn), width / 3, 1);
    EXPECT_EQ(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2), width);
    EXPECT_EQ(Rows(list, Account::kNameColumn), (QStringList{"admin", "manager", "viewer", "odd"}));
    EXPECT_EQ(Rows(list, Account::kTypeColumn),
              (QStringList{QStringLiteral("超级管理员账号"), QStringLiteral("管理员账号"), QStringLiteral("普通账号"), ""}));
    EXPECT_EQ(Rows(list, Account::kPasswordColumn), QStringList(4, QStringLiteral("******")));

    // An unknown type has no entry in the modify window: the first is chosen.
    Select(users, "odd");
    CUserModifyDlg modify(&users);
    EXPECT_EQ(modify.TypeList()->currentText(), QStringLiteral("管理员账号"));
}

TEST_F(UserWindowsTest, AddUserChecksInOrderEmptiesThePasswordsAfterARefusalAndAppendsTheAccount) {
    StartAs("admin", "pelun");
    CUserAdministrationDlg users(window_.get(), window_.get());
    CUserAccountAddDlg add(&users);
    add.show();
    EXPECT_EQ(add.windowTitle(), QStringLiteral("添加用户"));
    QComboBox *type = add.findChild<QComboBox *>();
    EXPECT_EQ(type->count(), 2);
    EXPECT_EQ(type->itemText(0), QStringLiteral("管理员账号"));
    EXPECT_EQ(type->itemText(1), QStringLiteral("普通账号"));
    EXPECT_EQ(type->currentText(), QStringLiteral("管理员账号"));
    QPushButton *accept = FindButton(&add, QStringLiteral("添加用户"));
    EXPECT_TRUE(accept->isDefault());

    struct Case {
        const char *name;
        QString password;
        QString confirmation;
        const char *notice;
    };
    const Case refused[] = {
        {"", "abcd1234", "abcd1234", "用户名称或用户密码为空！"},
        {"clerk", "", "abcd1234", "用户名称或用户密码为空！"},
        {"clerk", "abcd1234", "", "用户名称或用户密码为空！"},
        {"clerk", "abcd123", "abcd123", "密码长度为8~16位！"},
        {"clerk", "abcd1234abcd1234x", "abcd1234abcd1234x", "密码长度为8~16位！"},
        {"clerk", "abcd1234", "abcd1235", "密码不一致！"},
        {"viewer", "abcd1234", "abcd1234", "用户已经存在！"},
    };
    for (const Case &c : refused) {
        prompts_.Clear();
        Fill(add, {{"name", QString::fromUtf8(c.name)}, {"password", c.password}, {"confirmation", c.confirmation}});
        accept->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.notice)}) << c.name << " " << c.notice;
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(Box(add, "name")->text(), QString::fromUtf8(c.name)); // the name stays
        const bool checks_failed = QString::fromUtf8(c.notice) != QStringLiteral("用户已经存在！");
        EXPECT_EQ(AllEmpty(add, {"password", "confirmation"}), checks_failed) << c.notice;
    }
    EXPECT_EQ(users.AccountList()->topLevelItemCount(), 3);

    for (const QString &password : {QStringLiteral("abcd1234"), QStringLiteral("abcd1234abcd1234")}) {
        prompts_.Clear();
        CUserAccountAddDlg another(&users);
        const QString name = QStringLiteral("clerk%1").arg(password.size());
        Fill(another, {{"name", name}, {"password", password}, {"confirmation", password}});
        another.findChild<QComboBox *>()->setCurrentIndex(1);
        FindButton(&another, QStringLiteral("添加用户"))->click();
        EXPECT_TRUE(prompts_.Texts().isEmpty()) << password.size();
        EXPECT_EQ(another.result(), QDialog::Accepted);
        EXPECT_EQ(LibraryTypeOf(name.toLatin1().constData()), ZR_QM_USER_ORDINARY);
        QTreeWidgetItem *last = users.AccountList()->topLevelItem(users.AccountList()->topLevelItemCount() - 1);
        EXPECT_EQ(last->text(Account::kNameColumn), name);
        EXPECT_EQ(last->text(Account::kTypeColumn), QStringLiteral("普通账号"));
    }
    ASSERT_EQ(ZR_QM_Logout(), 0);
    EXPECT_EQ(ZR_QM_Login("clerk8", "abcd1234"), ZR_QM_USER_ORDINARY);
}

TEST_F(UserWindowsTest, AddUserBoxesTakeOnlyAsciiLettersAndDigitsUpToTheirLimits) {
    StartAs("admin", "pelun");
    CUserAdministrationDlg users(window_.get(), window_.get());
    CUserAccountAddDlg add(&users);
    add.show();
    QLineEdit *name = Box(add, "name"), *password = Box(add, "password"), *confirmation = Box(add, "confirmation");
    name->setFocus();
    for (QChar typed : QStringLiteral("管理abc")) name->insert(QString(typed)); // as typed, one by one
    EXPECT_EQ(name->text(), QStringLiteral("abc"));
    EXPECT_EQ(name->cursorPosition(), 3);
    name->setText(QStringLiteral("a-b_c d.e管1"));
    EXPECT_EQ(name->text(), QStringLiteral("abcde1"));
    name->setText(QString(31, QLatin1Char('n')));
    EXPECT_EQ(name->text().size(), CUserAccountAddDlg::kNameLimit);

    password->setText(QStringLiteral("pass 词word1"));
    EXPECT_EQ(password->text(), QStringLiteral("password1"));
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    password->setText(QString(21, QLatin1Char('p')));
    EXPECT_EQ(password->text().size(), CUserAccountAddDlg::kPasswordLimit);
    confirmation->setText(QString(21, QLatin1Char('p')));
    EXPECT_EQ(confirmation->text().size(), CUserAccountAddDlg::kPasswordLimit);
}

TEST_F(UserWindowsTest, DeleteRemovesTheSelectedAccountAtOnceButNeverTheSuperAdministrator) {
    StartAs("admin", "pelun");
    CUserAdministrationDlg users(window_.get(), window_.get());
    QPushButton *remove = FindButton(&users, QStringLiteral("删除用户"));
    remove->click(); // nothing selected: the library refuses the empty name
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(users.AccountList()->topLevelItemCount(), 3);

    Select(users, "admin");
    remove->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("超级管理员不能删除！")});
    EXPECT_EQ(users.AccountList()->topLevelItemCount(), 3);

    prompts_.Clear();
    Select(users, "viewer");
    remove->click();
    EXPECT_TRUE(prompts_.Texts().isEmpty()); // no question
    EXPECT_EQ(Rows(users.AccountList(), Account::kNameColumn), (QStringList{"admin", "manager"}));
    EXPECT_EQ(LibraryTypeOf("viewer"), -1);
}

TEST_F(UserWindowsTest, ModifyChangesTheTypeOfTheSelectedAccountAndOpensThePasswordChangeForAdmin) {
    StartAs("admin", "pelun");
    CUserAdministrationDlg users(window_.get(), window_.get());
    users.show();
    QPushButton *modify = FindButton(&users, QStringLiteral("修改用户"));
    modify->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("没有选中账号")});

    prompts_.Clear();
    Select(users, "viewer");
    QString shown_name, shown_type;
    WhenModal<CUserModifyDlg>([&](CUserModifyDlg &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("用户修改"));
        shown_name = Box(window, "name")->text();
        shown_type = window.TypeList()->currentText();
        window.TypeList()->setCurrentIndex(0);
        FindButton(&window, QStringLiteral("修改"))->click();
    });
    modify->click();
    EXPECT_EQ(shown_name, QStringLiteral("viewer"));
    EXPECT_EQ(shown_type, QStringLiteral("普通账号"));
    EXPECT_EQ(LibraryTypeOf("viewer"), ZR_QM_USER_ADMIN);
    EXPECT_EQ(users.AccountList()->topLevelItem(2)->text(Account::kTypeColumn), QStringLiteral("管理员账号"));
    EXPECT_TRUE(prompts_.Texts().isEmpty());

    // The account went away behind the window's back: the library refuses.
    ASSERT_EQ(ZR_QM_DelUser("manager"), 0);
    Select(users, "manager");
    WhenModal<CUserModifyDlg>([&](CUserModifyDlg &window) {
        FindButton(&window, QStringLiteral("修改"))->click();
        EXPECT_TRUE(window.isVisible());
        window.reject();
    });
    modify->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("修改用户失败！")});

    Select(users, "admin");
    bool password_window = false;
    WhenModal<CUserPwdModifyDlg>([&](CUserPwdModifyDlg &window) {
        password_window = true;
        window.reject();
    });
    modify->click();
    EXPECT_TRUE(password_window);
    EXPECT_TRUE(users.isVisible()); // cancelled: nothing else closes
}

TEST_F(UserWindowsTest, OwnPasswordChangeChecksInOrderAndEmptiesEveryBoxAfterANotice) {
    StartAs("manager", "manager123");
    CUserPwdModifyDlg change(window_.get(), window_.get());
    change.show();
    EXPECT_EQ(change.windowTitle(), QStringLiteral("更改密码"));
    EXPECT_EQ(Box(change, "name")->text(), QStringLiteral("manager"));
    EXPECT_EQ(Box(change, "type")->text(), QStringLiteral("管理员账号"));
    EXPECT_TRUE(Box(change, "name")->isReadOnly());
    ExpectRefused(change,
                  {
                      {"", "newpass123", "newpass123", "密码不能为空！"},
                      {"manager123", "", "newpass123", "密码不能为空！"},
                      {"manager123", "newpass", "newpass", "密码长度为8~16位！"},
                      {"manager123", "newpass123456789", "newpass123456788", "密码不一致！"},
                      {"manager123", "newpass1234567890", "newpass1234567890", "密码长度为8~16位！"},
                      {"wrong", "newpass1", "newpass1", "修改密码失败！"},
                  },
                  prompts_);
    EXPECT_EQ(Box(change, "new")->maxLength(), CUserPwdModifyDlg::kPasswordLimit);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_USER_ADMIN);
}

TEST_F(UserWindowsTest, AnOwnPasswordChangeReturnsToTheLoginWindow) {
    StartLibrary();
    ASSERT_EQ(ZR_QM_AddUser("manager", "manager123", ZR_QM_USER_ADMIN), 0);
    SetWindowOpener(nullptr);
    CLoginDlg login;
    login.show();
    bool changed = false;
    WhenModal<CQMDlg>([&](CQMDlg &main) {
        WhenModal<CUserPwdModifyDlg>([&](CUserPwdModifyDlg &change) {
            Fill(change, {{"current", "manager123"}, {"new", "newpass1"}, {"confirmation", "newpass1"}});
            FindButton(&change, QStringLiteral("更改密码"))->click();
            changed = !change.isVisible();
        });
        FindButton(&main, QStringLiteral("用户管理"))->click();
    });
    login.UserNameBox()->setText(QStringLiteral("manager"));
    login.PasswordBox()->setText(QStringLiteral("manager123"));
    FindButton(&login, QStringLiteral("登录"))->click(); // runs the main window until it closes
    EXPECT_TRUE(changed);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(login.UserNameBox()->text(), QStringLiteral("manager"));
    EXPECT_TRUE(login.PasswordBox()->text().isEmpty());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN);
    EXPECT_EQ(ZR_QM_Login("manager", "manager123"), ZR_QM_ERR_PASSWORD);
    EXPECT_EQ(ZR_QM_Login("manager", "newpass1"), ZR_QM_USER_ADMIN);
}

TEST_F(UserWindowsTest, TheSuperAdministratorsPasswordChangeClosesTheAdministrationAndTheMainWindow) {
    StartAs("admin", "pelun");
    SetWindowOpener(nullptr);
    bool administration_closed_after = false;
    WhenModal<CUserAdministrationDlg>([&](CUserAdministrationDlg &users) {
        Select(users, "admin");
        WhenModal<CUserPwdModifyDlg>([&](CUserPwdModifyDlg &change) {
            EXPECT_EQ(Box(change, "name")->text(), QStringLiteral("admin"));
            EXPECT_EQ(Box(change, "type")->text(), QStringLiteral("超级管理员账号"));
            Fill(change, {{"current", "pelun"}, {"new", "admin1234567890a"}, {"confirmation", "admin1234567890a"}});
            FindButton(&change, QStringLiteral("更改密码"))->click();
        });
        FindButton(&users, QStringLiteral("修改用户"))->click();
        administration_closed_after = !users.isVisible() && users.result() == QDialog::Accepted;
    });
    FindButton(window_.get(), QStringLiteral("用户管理"))->click();
    EXPECT_TRUE(administration_closed_after);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Accepted);
    EXPECT_EQ(ZR_QM_Login("admin", "admin1234567890a"), ZR_QM_USER_SUPER_ADMIN);
}

TEST_F(UserWindowsTest, DeviceCommunicationPasswordNeedsFiveToSixteenCharactersAndTheCurrentPassword) {
    StartAs("admin", "pelun");
    CUserAdministrationDlg users(window_.get(), window_.get());
    CModifyDevOperatePwdDlg change(&users);
    change.show();
    EXPECT_EQ(change.windowTitle(), QStringLiteral("修改设备通讯密码"));
    EXPECT_EQ(Box(change, "current")->maxLength(), CModifyDevOperatePwdDlg::kPasswordLimit);
    ExpectRefused(change,
                  {
                      {"WQZNE847", "", "", "密码不能为空！"},
                      {"WQZNE847", "abcd", "abcd", "密码长度为5~16位！"},
                      {"WQZNE847", "abcd1234abcd1234x", "abcd1234abcd1234x", "密码长度为5~16位！"},
                      {"WQZNE847", "abcde", "abcdf", "两次密码不一致！"},
                      {"wrong", "abcde", "abcde", "当前密码错误！"},
                  },
                  prompts_);
    EXPECT_EQ(cwd_.Read("DevsInfo.ini").find(talvo_sim::Md5Hex("abcde")), std::string::npos);

    prompts_.Clear();
    Fill(change, {{"current", "WQZNE847"}, {"new", "abcde"}, {"confirmation", "abcde"}});
    FindButton(&change, QStringLiteral("更改密码"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("更改密码成功！")});
    EXPECT_EQ(change.result(), QDialog::Accepted);
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find(talvo_sim::Md5Hex("abcde")), std::string::npos);

    // Opened from the administration window.
    SetWindowOpener(nullptr);
    bool opened = false;
    WhenModal<CModifyDevOperatePwdDlg>([&](CModifyDevOperatePwdDlg &window) {
        opened = true;
        FindButton(&window, QStringLiteral("取消"))->click();
    });
    FindButton(&users, QStringLiteral("修改通讯密码"))->click();
    EXPECT_TRUE(opened);
}

} // namespace
} // namespace talvo::testing
