// The main window's actions: the checks before a single-device window opens,
// the context menu, batch, delete, search, user windows, log out, exit,
// Escape, and the ordinary user's reduced window.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "app/qm_dlg.h"
#include "common/cp936.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

class ActionsTest : public ControllerTest {
protected:
    // Two receivers online, one device offline.
    void StartWithFleet() {
        std::vector<StoredDevice> devices = AddReceivers(talvo_sim::GenerateFleet(2, "mixed", "127.11.0.1"));
        online_a_ = devices[0].mac;
        online_b_ = devices[1].mac;
        StoredDevice away;
        away.mac = offline_ = "02:54:56:00:0F:01";
        away.ip = "127.11.0.9";
        devices.push_back(away);
        WriteDevices(devices);
        StartLibrary();
        LogIn();
        WaitForOnline({online_a_, online_b_});
    }

    std::string online_a_, online_b_, offline_;
};

TEST_F(ActionsTest, SingleDeviceWindowsOpenOnlyForOneTickedOnlineDeviceTheLibraryLoggedInTo) {
    StartWithFleet();
    auto window = OpenMainWindow();
    Fleet().InjectFault(online_b_, "login", talvo_sim::Fault(talvo_sim::FaultType::Status, 500));
    struct Case {
        std::vector<std::string> ticked;
        const char *notice; // nullptr: the window opens
    };
    const Case cases[] = {
        {{}, "没有选中设备！"},
        {{online_a_, offline_}, "只能操作一个设备！"},
        {{offline_}, "设备不在线！"},
        {{online_b_}, "连接设备失败！"},
        {{online_a_}, nullptr},
    };
    const std::pair<const char *, const char *> buttons[] = {{"查看设备状态", "status"}, {"设备配置", "configuration"}};
    for (const auto &[button, opened] : buttons) {
        for (const Case &c : cases) {
            prompts_.Clear();
            const std::size_t opened_before = windows_.Opened().size();
            TickOnly(*window, c.ticked);
            FindButton(window.get(), QString::fromUtf8(button))->click();
            if (c.notice) {
                EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.notice)}) << button;
                EXPECT_EQ(windows_.Opened().size(), opened_before) << button << " " << c.notice;
            } else {
                EXPECT_TRUE(prompts_.Texts().isEmpty());
                ASSERT_EQ(windows_.Opened().size(), opened_before + 1);
                EXPECT_EQ(windows_.Opened().back().window, QString::fromUtf8(opened));
                EXPECT_EQ(windows_.Opened().back().mac, QByteArray::fromStdString(online_a_));
                EXPECT_EQ(window->CurrentDeviceMac(), QByteArray::fromStdString(online_a_));
            }
        }
    }
    // With no rows at all.
    for (int row = window->DeviceList().rowCount() - 1; row >= 0; --row) window->DeviceList().RemoveDevice(row);
    prompts_.Clear();
    FindButton(window.get(), QStringLiteral("查看设备状态"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("没有选中设备！")});
}

TEST_F(ActionsTest, ContextMenuOpensForTheRowUnderTheClickOrElseAsTheButtons) {
    StartWithFleet();
    auto window = OpenMainWindow();
    const int row_b = window->DeviceList().FindMac(QByteArray::fromStdString(online_b_));
    std::unique_ptr<QMenu> menu = window->ListMenu(row_b);
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction *action : menu->actions()) entries << action->text();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("查看设备状态"), QStringLiteral("设备配置"), QStringLiteral("批量操作"),
                                    QStringLiteral("移动到分组")}));

    TickOnly(*window, {online_a_}); // the row under the click wins over the ticks
    menu->actions().at(1)->trigger();
    ASSERT_EQ(windows_.Windows(), QStringList{QStringLiteral("configuration")});
    EXPECT_EQ(windows_.Opened().back().mac, QByteArray::fromStdString(online_b_));

    menu = window->ListMenu(-1); // not on a row: the ticked row, as the button
    menu->actions().at(0)->trigger();
    EXPECT_EQ(windows_.Opened().back().window, QStringLiteral("status"));
    EXPECT_EQ(windows_.Opened().back().mac, QByteArray::fromStdString(online_a_));
}

TEST_F(ActionsTest, BatchOpensForTickedDevicesThatAreKnownAndNotOffline) {
    StartWithFleet();
    auto window = OpenMainWindow();
    TickOnly(*window, {});
    FindButton(window.get(), QStringLiteral("批量操作"))->click();
    TickOnly(*window, {online_a_, offline_});
    FindButton(window.get(), QStringLiteral("批量操作"))->click();
    EXPECT_EQ(prompts_.Texts(),
              (QStringList{QStringLiteral("没有选中设备！"), QStringLiteral("设备不在线，不允许批量操作！")}));
    EXPECT_TRUE(windows_.Opened().empty());

    prompts_.Clear();
    TickOnly(*window, {online_a_, online_b_});
    windows_.on_open = [&](CQMDlg &owner) {
        EXPECT_EQ(owner.TickedMacs(), (QList<QByteArray>{QByteArray::fromStdString(online_a_),
                                                         QByteArray::fromStdString(online_b_)}));
    };
    FindButton(window.get(), QStringLiteral("批量操作"))->click();
    EXPECT_EQ(windows_.Windows(), QStringList{QStringLiteral("batch")});
    EXPECT_TRUE(prompts_.Texts().isEmpty());

    ASSERT_EQ(ZR_QM_DelDevice(online_b_.c_str()), 0); // gone from the library, still listed
    FindButton(window.get(), QStringLiteral("批量操作"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("设备不存在！")});
}

TEST_F(ActionsTest, DeleteAsksFirstAndRemovesTheTickedDevicesFromListAndLibrary) {
    WriteDevices(UnreachableDevices(3));
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    QPushButton *remove = FindButton(window.get(), QStringLiteral("删除设备"));
    const QByteArray first = window->DeviceList().Mac(0), last = window->DeviceList().Mac(2);
    window->DeviceList().SetTicked(0, true);
    window->DeviceList().SetTicked(2, true);

    prompts_.Answer(false);
    remove->click();
    ASSERT_EQ(prompts_.Shown().size(), 1u);
    EXPECT_EQ(prompts_.Shown()[0].kind, PromptKind::ConfirmYesNo);
    EXPECT_EQ(prompts_.Shown()[0].text, QStringLiteral("请再次确认是否进行此操作？"));
    EXPECT_EQ(window->DeviceList().rowCount(), 3);

    prompts_.Clear();
    remove->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请再次确认是否进行此操作？")});
    EXPECT_EQ(window->DeviceList().rowCount(), 1);
    EXPECT_EQ(window->findChild<QLineEdit *>(QStringLiteral("rows"))->text(), QStringLiteral("1"));
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo(first.constData(), &info), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(ZR_QM_GetDeviceInfo(last.constData(), &info), ZR_QM_ERR_DEV_NOT_FOUND);
    EXPECT_EQ(cwd_.Read("DevsInfo.ini").find(first.toStdString()), std::string::npos);

    prompts_.Clear();
    remove->click(); // nothing ticked
    EXPECT_EQ(prompts_.Texts(),
              (QStringList{QStringLiteral("请再次确认是否进行此操作？"), QStringLiteral("没有选中设备！")}));
    EXPECT_EQ(window->DeviceList().rowCount(), 1);
}

TEST_F(ActionsTest, SearchSendsTwiceOpensTheResultsAndClearsTheSearchListAfter) {
    StartWithFleet();
    auto window = OpenMainWindow();
    talvo_sim::ReceiverConfig newcomer = talvo_sim::GenerateFleet(1, "TALVO_TX", "127.11.1.1")[0];
    newcomer.mac = "02:54:56:00:0E:01";
    Fleet().Add(newcomer);
    int found_while_open = 0;
    windows_.on_open = [&](CQMDlg &) {
        WaitFor([&] {
            DeviceInfo *found = nullptr;
            found_while_open = ZR_QM_GetSearchDeviceList(&found);
            if (found_while_open > 0) std::free(found);
            return found_while_open > 0;
        });
    };
    const std::size_t datagrams_before = Fleet().Datagrams().size();
    FindButton(window.get(), QStringLiteral("搜索新设备"))->click();
    EXPECT_EQ(windows_.Windows(), QStringList{QStringLiteral("search")});
    EXPECT_EQ(found_while_open, 1); // the managed receivers do not enter the search list
    DeviceInfo *left = nullptr;
    EXPECT_EQ(ZR_QM_GetSearchDeviceList(&left), 0);
    EXPECT_TRUE(WaitFor([&] {
        int searches = 0;
        const auto datagrams = Fleet().Datagrams();
        for (std::size_t i = datagrams_before; i < datagrams.size(); ++i)
            searches += datagrams[i].text.find("\"SearchDevice\"") != std::string::npos;
        return searches == 2;
    }));
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(ActionsTest, UserButtonOpensAdministrationForTheSuperAdministratorAndPasswordChangeForOthers) {
    StartLibrary();
    ASSERT_EQ(ZR_QM_AddUser("manager", "manager123", ZR_QM_USER_ADMIN), 0);
    ASSERT_EQ(ZR_QM_AddUser("viewer", "viewer123", ZR_QM_USER_ORDINARY), 0);
    const std::pair<const char *, const char *> users[] = {
        {"admin", "pelun"}, {"manager", "manager123"}, {"viewer", "viewer123"}};
    for (const auto &[user, password] : users) {
        LogIn(user, password);
        auto window = OpenMainWindow();
        FindButton(window.get(), QStringLiteral("用户管理"))->click();
        ASSERT_EQ(ZR_QM_Logout(), 0);
    }
    EXPECT_EQ(windows_.Windows(),
              (QStringList{QStringLiteral("users"), QStringLiteral("password"), QStringLiteral("password")}));
}

TEST_F(ActionsTest, ManualAddOpensItsWindow) {
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    FindButton(window.get(), QStringLiteral("手动添加设备"))->click();
    EXPECT_EQ(windows_.Windows(), QStringList{QStringLiteral("add")});
}

TEST_F(ActionsTest, LogOutAsksAndReturnsWithOkOrTellsWhenTheLibraryRefuses) {
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    window->show();
    QPushButton *log_out = FindButton(window.get(), QStringLiteral("注销"));
    EXPECT_FALSE(log_out->isHidden());

    prompts_.Answer(false);
    log_out->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_USER_SUPER_ADMIN);

    ASSERT_EQ(ZR_QM_Logout(), 0); // behind the window's back: the library refuses
    log_out->click();
    EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("确认要注销用户吗?"), QStringLiteral("确认要注销用户吗?"),
                                             QStringLiteral("注销失败！")}));
    EXPECT_TRUE(window->isVisible());

    LogIn();
    prompts_.Clear();
    log_out->click();
    EXPECT_EQ(prompts_.Shown().at(0).kind, PromptKind::ConfirmOkCancel);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->StateTimer().isActive());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN);
}

TEST_F(ActionsTest, ExitAsksThenLogsOutAndEndsTheLoginWindowToo) {
    StartLibrary();
    LogIn();
    QDialog login;
    bool login_ended = false;
    QObject::connect(&login, &QDialog::finished, [&] { login_ended = true; });
    CQMDlg window(&login);
    window.show();

    prompts_.Answer(false);
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.DisplayTimer().isActive());
    EXPECT_FALSE(login_ended);

    window.close();
    EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("确认要退出吗?"), QStringLiteral("确认要退出吗?")}));
    EXPECT_EQ(prompts_.Shown().at(0).kind, PromptKind::ConfirmOkCancel);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(login_ended);
    EXPECT_FALSE(window.StateTimer().isActive());
    EXPECT_FALSE(window.DisplayTimer().isActive());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN);
}

TEST_F(ActionsTest, EscapeLogsOutAndClosesWithoutAQuestion) {
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(ZR_QM_GetCurUserType(), ZR_QM_ERR_NOT_LOGGED_IN);
}

TEST_F(ActionsTest, EnterRunsNoButton) {
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_TRUE(windows_.Opened().empty());
}

TEST_F(ActionsTest, AnOrdinaryUserSeesNeitherTheChangingButtonsNorContextMenus) {
    WriteDevices(UnreachableDevices(1));
    StartAsOrdinaryUser();
    auto window = OpenMainWindow();
    window->show();
    for (const char *hidden : {"设备配置", "批量操作", "手动添加设备", "删除设备", "搜索新设备"})
        EXPECT_FALSE(FindButton(window.get(), QString::fromUtf8(hidden))->isVisible()) << hidden;
    for (const char *shown : {"刷新", "用户管理", "查看设备状态", "注销"})
        EXPECT_TRUE(FindButton(window.get(), QString::fromUtf8(shown))->isVisible()) << shown;
    EXPECT_EQ(window->ListMenu(0), nullptr);
    EXPECT_EQ(window->ListMenu(-1), nullptr);
}

} // namespace
} // namespace talvo::testing
