// A whole working day of an operator, through the program's own windows as
// the program opens them (real window opener, real clock), against a
// simulated fleet: log in, search and adopt receivers, add one by address,
// arrange a group, rename a device, look at its status, configure it, run
// batches of images, a kernel update and a reboot, add an ordinary user,
// change the device communication password, log out, log in as the ordinary
// user, exit. Afterwards the store files hold the day's work and a restart
// shows the same fleet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "app/add_device_dlg.h"
#include "app/dev_status_dlg.h"
#include "app/group_tree.h"
#include "app/login_dlg.h"
#include "app/modify_dev_operate_pwd_dlg.h"
#include "app/row_editors.h"
#include "app/search_device_list_dlg.h"
#include "app/user_account_add_dlg.h"
#include "app/user_administration_dlg.h"
#include "batch/dev_batch_operate_dlg.h"
#include "batch/dev_batch_operate_pwd_dlg.h"
#include "batch/dev_batch_reboot_dlg.h"
#include "batch/dev_batch_set_screen_dlg.h"
#include "batch/dev_batch_system_update_dlg.h"
#include "common/cp936.h"
#include "common/file_row.h"
#include "common/update_progress.h"
#include "config/dev_cfg_dlg.h"
#include "config/dev_compere_cfg_dlg.h"
#include "config/dev_net_cfg_dlg.h"
#include "config/dev_vid_out_cfg_dlg.h"
#include "config/multi_display_mode_dlg.h"
#include "controller_fixture.h"
#include "common/ip_address_edit.h"

namespace talvo::testing {
namespace {

using talvo_sim::Fault;
using talvo_sim::FaultType;

// The fleet: three TALVO_JX for the meeting rooms, a TALVO_HX and a TALVO_SX
// that answer the search, and a TALVO_TX that stays silent on multicast and
// is added by its address.
constexpr const char *kRooms[] = {"02:54:56:00:31:01", "02:54:56:00:31:02", "02:54:56:00:31:03"};
constexpr char kHall[] = "02:54:56:00:31:04";
constexpr char kLobby[] = "02:54:56:00:31:05"; // TALVO_SX, the one configured
constexpr char kBasement[] = "02:54:56:00:31:06";
constexpr char kBasementAddress[] = "127.13.0.6";
constexpr char kLaptop[] = "192.168.49.20";

const QString kGroup = QStringLiteral("会议室");
const QString kAlias = QStringLiteral("一楼大会议室");
const std::string kNewOperatePassword = "Room2027pw";

std::vector<std::string> AllMacs() {
    return {kRooms[0], kRooms[1], kRooms[2], kHall, kLobby, kBasement};
}

class OperatorDayTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        SetClock(nullptr);        // the program's own waits and timers
        SetWindowOpener(nullptr); // the program's own windows
    }

    void StartFleet() {
        const char *models[] = {"TALVO_JX", "TALVO_JX", "TALVO_JX", "TALVO_HX", "TALVO_SX", "TALVO_TX"};
        const std::vector<std::string> macs = AllMacs();
        for (int i = 0; i < 6; ++i) {
            talvo_sim::ReceiverConfig r;
            r.model = models[i];
            r.mac = macs[i];
            r.address = "127.13.0." + std::to_string(i + 1);
            r.settings[talvo_sim::kNetSettings]["wifi_fre"] = "g2_4";
            r.settings[talvo_sim::kNetSettings]["wifi_channel"] = "6";
            if (r.mac == kLobby) r.host_members = {{kLaptop, "windows", "laptop", "false", "false", 1}};
            Fleet().Add(r);
        }
        Fleet().InjectFault(kBasement, "SearchDevice", Fault(FaultType::Silence));
    }

    // Runs `open`, which runs a modal window W; `act` works in it once it is
    // up, and the window is closed afterwards if `act` left it open.
    template <class W>
    void Within(const std::function<void()> &open, const std::function<void(W &)> &act) {
        bool acted = false;
        WhenModal<W>([&](W &window) {
            act(window);
            acted = true;
            if (window.isVisible()) window.reject();
        });
        open();
        ASSERT_TRUE(acted) << "the window did not open";
    }

    // Logs in through the login window; `day` runs in the main window that
    // the login opens, and ends by closing it.
    void SignIn(CLoginDlg &login, const char *user, const char *password,
                const std::function<void(CQMDlg &)> &day) {
        login.UserNameBox()->setText(QString::fromLatin1(user));
        login.PasswordBox()->setText(QString::fromLatin1(password));
        bool ran = false;
        WhenModal<CQMDlg>([&](CQMDlg &main) {
            day(main);
            ran = true;
        });
        login.OnLogin();
        ASSERT_TRUE(ran) << "the main window did not open for " << user;
    }

    bool Shown(const QString &text) const { return prompts_.Texts().contains(text); }
    // Waits for the library to hold every device in its online (or offline) state.
    void WaitForStates(bool online = true) { WaitForOnline(AllMacs(), online); }

    static int RowOf(CQMDlg &main, const std::string &mac) {
        return main.DeviceList().FindMac(QByteArray::fromStdString(mac));
    }
    static DeviceInfo InfoOf(const std::string &mac) {
        DeviceInfo info{};
        EXPECT_EQ(ZR_QM_GetDeviceInfo(mac.c_str(), &info), 0) << mac;
        return info;
    }
    static QByteArray GroupOf(const std::string &mac) { return FieldBytes(InfoOf(mac).Device_Group); }
    static QByteArray AliasOf(const std::string &mac) { return FieldBytes(InfoOf(mac).Device_Alias); }
    static void SelectNode(CQMDlg &main, QTreeWidgetItem *node) {
        main.Groups()->setCurrentItem(node);
        main.OnGroupSelected();
    }

    // ---- the steps of the day ----

    void SearchAndAdopt(CQMDlg &main) {
        Within<CSearchDeviceListDlg>([&] { main.OnSearch(); }, [&](CSearchDeviceListDlg &results) {
            const bool all_answered = WaitFor([&] {
                if (results.ResultList()->topLevelItemCount() >= 5) return true;
                results.OnRefresh();
                return false;
            });
            ASSERT_TRUE(all_answered) << results.ResultList()->topLevelItemCount() << " answered";
            for (QCheckBox *box : results.findChildren<QCheckBox *>())
                if (box->text() == QStringLiteral("全选")) box->click();
            results.OnAddToDeviceList();
        });
        EXPECT_EQ(main.DeviceList().rowCount(), 5);
        EXPECT_EQ(RowOf(main, kBasement), -1); // it does not answer a search
    }

    void AddByAddress(CQMDlg &main) {
        Within<CAddDeviceDlg>([&] { main.OnManualAdd(); }, [&](CAddDeviceDlg &add) {
            add.AddressBox()->SetText(QString::fromLatin1(kBasementAddress));
            add.accept();
            EXPECT_FALSE(add.isVisible());
        });
        EXPECT_TRUE(Shown(QStringLiteral("添加设备成功！")));
        EXPECT_EQ(main.DeviceList().rowCount(), 6);
        EXPECT_NE(RowOf(main, kBasement), -1);
    }

    void ArrangeTheMeetingRooms(CQMDlg &main) {
        GroupTree &tree = *main.Groups();
        ASSERT_NE(tree.ContextMenu(tree.Root()), nullptr);
        tree.OnAddGroup();
        QTreeWidgetItem *fresh = tree.FindGroup(ToCp936(QStringLiteral("新建分组0")));
        ASSERT_NE(fresh, nullptr);
        ASSERT_TRUE(tree.BeginLabelEdit(fresh));
        ASSERT_TRUE(tree.EndLabelEdit(fresh, kGroup));
        QTreeWidgetItem *rooms = tree.FindGroup(ToCp936(kGroup));
        ASSERT_EQ(rooms, fresh);

        // Two rooms through "移动到分组", the third through its group cell.
        SelectNode(main, tree.Root());
        QItemSelectionModel *selection = main.DeviceListView()->selectionModel();
        selection->clearSelection();
        for (const char *mac : {kRooms[0], kRooms[1]})
            selection->select(main.DeviceList().index(RowOf(main, mac), 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::unique_ptr<QMenu> menu = main.ListMenu(RowOf(main, kRooms[0]));
        ASSERT_NE(menu, nullptr);
        QMenu *groups = menu->actions().at(3)->menu();
        ASSERT_NE(groups, nullptr);
        QAction *to_rooms = nullptr;
        for (QAction *entry : groups->actions())
            if (entry->text() == kGroup) to_rooms = entry;
        ASSERT_NE(to_rooms, nullptr);
        to_rooms->trigger();

        main.Editors().OnDoubleClick(main.DeviceList().index(RowOf(main, kRooms[2]), DeviceListModel::kGroupColumn));
        QComboBox *group_editor = main.Editors().GroupEditor();
        ASSERT_NE(group_editor, nullptr);
        group_editor->setCurrentText(kGroup);
        main.Editors().CommitAll();

        for (const char *mac : kRooms) EXPECT_EQ(GroupOf(mac), ToCp936(kGroup)) << mac;
        EXPECT_EQ(GroupOf(kHall), GroupTree::DefaultGroupName());

        // The first room gets its name.
        main.Editors().OnDoubleClick(main.DeviceList().index(RowOf(main, kRooms[0]), DeviceListModel::kAliasColumn));
        QLineEdit *alias = main.Editors().AliasEditor();
        ASSERT_NE(alias, nullptr);
        alias->setText(kAlias);
        main.Editors().CommitAll();
        EXPECT_EQ(AliasOf(kRooms[0]), ToCp936(kAlias));

        SelectNode(main, rooms);
        EXPECT_EQ(main.DeviceList().rowCount(), 3);
        SelectNode(main, tree.Root());
    }

    void LookAtTheLobbyStatus(CQMDlg &main) {
        TickOnly(main, {kLobby});
        Within<CDevStatusDlg>([&] { main.OnShowStatus(); }, [&](CDevStatusDlg &status) {
            const QString ssid = QString::fromStdString(Fleet().GetSettings(kLobby, talvo_sim::kNetSettings)["wifi_ssid"]);
            bool shown = false;
            for (QLineEdit *box : status.findChildren<QLineEdit *>()) shown = shown || box->text() == ssid;
            EXPECT_TRUE(shown) << "the hotspot SSID is not shown";
            EXPECT_TRUE(status.SectionBox(CDevStatusDlg::kHotspot)->isVisible());
        });
    }

    void ConfigureTheLobby(CQMDlg &main) {
        TickOnly(main, {kLobby});
        Within<CDevCfgDlg>([&] { main.OnConfigure(); }, [&](CDevCfgDlg &window) {
            ChangeNetwork(window);
            ChangeVideoOutput(window);
            TurnOnMultiDisplay(window);
            CastFromTheLaptop(window);
        });
    }

    void ChangeNetwork(CDevCfgDlg &window) {
        window.Tabs()->setCurrentIndex(CDevCfgDlg::kNetworkTab);
        const CDevNetCfgDlg::Controls &net = window.NetworkPage().Ui();
        net.ssid->setText(QStringLiteral("Lobby-Screen"));
        net.password->setText(QStringLiteral("lobby2027"));
        net.confirmation->setText(QStringLiteral("lobby2027"));
        prompts_.Clear();
        window.NetworkPage().OnSave();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
        talvo_sim::Settings saved = Fleet().GetSettings(kLobby, talvo_sim::kNetSettings);
        EXPECT_EQ(saved["wifi_ssid"], "Lobby-Screen");
        EXPECT_EQ(saved["wifi_pwd"], "lobby2027");
    }

    void ChangeVideoOutput(CDevCfgDlg &window) {
        window.Tabs()->setCurrentIndex(CDevCfgDlg::kVideoOutputTab);
        const talvo_sim::Settings before = Fleet().GetSettings(kLobby, talvo_sim::kVideoOut);
        const CDevVidOutCfgDlg::Controls &video = window.VideoOutputPage().Ui();
        QSlider *volume = video.bars[CDevVidOutCfgDlg::kVolumeBar];
        volume->setValue(volume->value() == 80 ? 70 : 80);
        window.VideoOutputPage().OnBarMoved();
        prompts_.Clear();
        window.VideoOutputPage().OnSave();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
        EXPECT_NE(Fleet().GetSettings(kLobby, talvo_sim::kVideoOut), before);
    }

    void TurnOnMultiDisplay(CDevCfgDlg &window) {
        window.Tabs()->setCurrentIndex(CDevCfgDlg::kMultiDisplayTab);
        const CMultiDisplayModeDlg::Controls &multi = window.MultiDisplayPage().Ui();
        multi.enabled->setChecked(true);
        multi.mode->setCurrentIndex(0);
        multi.direction->setCurrentIndex(0);
        window.MultiDisplayPage().LayOutRows();
        multi.multicast_address->SetText(QStringLiteral("239.1.2.3"));
        prompts_.Clear();
        window.MultiDisplayPage().OnSave();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("保存成功！")});
        EXPECT_EQ(Fleet().GetSettings(kLobby, talvo_sim::kMultiMode)["multi_display_enable"], "true");
    }

    void CastFromTheLaptop(CDevCfgDlg &window) {
        window.Tabs()->setCurrentIndex(CDevCfgDlg::kHostModeTab);
        CDevCompereCfgDlg &host = window.HostModePage();
        ASSERT_EQ(host.Ui().members->rowCount(), 1);
        EXPECT_TRUE(host.RefreshTimer().isActive());
        host.OnRowClicked(0);
        Fleet().ClearRequests(kLobby);
        prompts_.Clear();
        host.OnAction(CDevCompereCfgDlg::kCastButton);
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("操作成功！")});
        bool sent = false;
        for (const talvo_sim::RequestRecord &request : Fleet().Requests(kLobby))
            sent = sent || (request.section == "compere_mode" && request.query.count("conn_ip") && request.query.at("conn_ip") == kLaptop);
        EXPECT_TRUE(sent) << "no host mode request for the laptop";
        window.Tabs()->setCurrentIndex(CDevCfgDlg::kNetworkTab);
        EXPECT_FALSE(host.RefreshTimer().isActive());
    }

    // The meeting rooms ticked, then the batch window over them.
    void WithTheMeetingRooms(CQMDlg &main, const std::function<void(CDevBatchOperateDlg &)> &act) {
        SelectNode(main, main.Groups()->FindGroup(ToCp936(kGroup)));
        main.OnSelectAll();
        ASSERT_EQ(main.TickedMacs().size(), 3);
        Within<CDevBatchOperateDlg>([&] { main.OnBatch(); }, act);
        SelectNode(main, main.Groups()->Root());
    }

    void SendTheStandbyImage(CDevBatchOperateDlg &batch) {
        const std::string path = cwd_.File("welcome.jpg");
        ASSERT_TRUE(QImage(1280, 720, QImage::Format_RGB32).save(QString::fromStdString(path), "JPG"));
        batch.Tabs()->setCurrentWidget(batch.ScreenPage());
        FileRow *standby = batch.ScreenPage()->Row(ScreenKind::Standby);
        standby->PathBox()->setText(QString::fromStdString(path));
        prompts_.Clear();
        standby->SendButton()->click();
        EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("请再次确认是否进行批量操作？"),
                                                 QStringLiteral("批量更新成功！")}));
        for (const char *mac : kRooms)
            EXPECT_EQ(Fleet().Snapshot(mac).files["standby_screen"].file_name, "welcome.jpg") << mac;
    }

    void UpdateTheKernels(CDevBatchOperateDlg &batch) {
        const std::string path = cwd_.Write("uImage-JX.bin", std::string(1'500'000, 'k'));
        batch.Tabs()->setCurrentWidget(batch.SystemUpdatePage());
        FileRow *kernel = batch.SystemUpdatePage()->Row(UpdateKind::Kernel);
        kernel->PathBox()->setText(QString::fromStdString(path));
        prompts_.Clear();
        kernel->SendButton()->click();
        UpdateProgress &progress = batch.SystemUpdatePage()->Progress();
        EXPECT_TRUE(progress.Timer(UpdateKind::Kernel).isActive());
        int highest_bar = 0;
        const bool ended = WaitFor(
            [&] {
                highest_bar = std::max(highest_bar, progress.Bar()->value());
                return Shown(QStringLiteral("升级成功！")) || Shown(QStringLiteral("升级失败！"));
            },
            180);
        ASSERT_TRUE(ended) << "the update did not end; the bar stands at " << progress.Bar()->value();
        EXPECT_TRUE(Shown(QStringLiteral("升级成功！"))) << prompts_.Texts().join(' ').toStdString();
        EXPECT_EQ(highest_bar, 100);
        EXPECT_FALSE(progress.Timer(UpdateKind::Kernel).isActive());
        for (const char *mac : kRooms)
            EXPECT_EQ(Fleet().Snapshot(mac).files["kernel_update"].file_name, "uImage-JX.bin") << mac;
    }

    void RebootWithOneRefusing(CDevBatchOperateDlg &batch) {
        WaitForStates();
        Fleet().InjectFault(kRooms[2], "dev_reboot", Fault(FaultType::ErrCode, 1));
        std::vector<int> before;
        for (const char *mac : kRooms) before.push_back(Fleet().Snapshot(mac).reboots);
        batch.Tabs()->setCurrentWidget(batch.RebootPage());
        prompts_.Clear();
        batch.RebootPage()->OnReboot();
        EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("请再次确认是否进行批量操作？"),
                                                 QStringLiteral("批量重启部分成功！")}));
        EXPECT_TRUE(WaitFor([&] {
            return Fleet().Snapshot(kRooms[0]).reboots > before[0] && Fleet().Snapshot(kRooms[1]).reboots > before[1];
        }));
        EXPECT_EQ(Fleet().Snapshot(kRooms[2]).reboots, before[2]);
        Fleet().ClearFaults(kRooms[2]);
    }

    // The receivers learn the new password first, then the library.
    void ChangeTheCommunicationPassword(CQMDlg &main) {
        WaitForStates();
        SelectNode(main, main.Groups()->Root());
        main.OnSelectAll();
        Within<CDevBatchOperateDlg>([&] { main.OnBatch(); }, [&](CDevBatchOperateDlg &batch) {
            batch.Tabs()->setCurrentWidget(batch.PasswordPage());
            CDevBatchOperatePwdDlg &page = *batch.PasswordPage();
            page.CurrentPassword()->setText(QStringLiteral("WQZNE847"));
            page.NewPassword()->setText(QString::fromStdString(kNewOperatePassword));
            page.Confirmation()->setText(QString::fromStdString(kNewOperatePassword));
            prompts_.Clear();
            page.OnApply();
            EXPECT_EQ(prompts_.Texts(), (QStringList{QStringLiteral("请再次确认是否进行批量操作？"),
                                                     QStringLiteral("批量操作成功！")}));
        });
        TickOnly(main, {});
        for (const std::string &mac : AllMacs())
            EXPECT_EQ(Fleet().Snapshot(mac).config.password_md5, talvo_sim::Md5Hex(kNewOperatePassword)) << mac;
    }

    void AdministerAccounts(CQMDlg &main) {
        Within<CUserAdministrationDlg>([&] { main.OnUserAdministration(); }, [&](CUserAdministrationDlg &admin) {
            Within<CUserAccountAddDlg>([&] { admin.OnAddUser(); }, [&](CUserAccountAddDlg &add) {
                add.findChild<QLineEdit *>(QStringLiteral("name"))->setText(QStringLiteral("zhangwei"));
                add.findChild<QComboBox *>()->setCurrentIndex(1); // ordinary user
                add.findChild<QLineEdit *>(QStringLiteral("password"))->setText(QStringLiteral("meeting2026"));
                add.findChild<QLineEdit *>(QStringLiteral("confirmation"))->setText(QStringLiteral("meeting2026"));
                add.accept();
                EXPECT_FALSE(add.isVisible());
            });
            EXPECT_EQ(admin.AccountList()->topLevelItemCount(), 2);

            Within<CModifyDevOperatePwdDlg>([&] { admin.OnDevicePassword(); }, [&](CModifyDevOperatePwdDlg &change) {
                change.findChild<QLineEdit *>(QStringLiteral("current"))->setText(QStringLiteral("WQZNE847"));
                change.findChild<QLineEdit *>(QStringLiteral("new"))->setText(QString::fromStdString(kNewOperatePassword));
                change.findChild<QLineEdit *>(QStringLiteral("confirmation"))
                    ->setText(QString::fromStdString(kNewOperatePassword));
                prompts_.Clear();
                change.accept();
                EXPECT_TRUE(Shown(QStringLiteral("更改密码成功！"))) << prompts_.Texts().join(' ').toStdString();
            });
        });
    }

    void WorkAsAdministrator(CQMDlg &main) {
        SearchAndAdopt(main);
        AddByAddress(main);
        WaitForStates();
        ArrangeTheMeetingRooms(main);
        LookAtTheLobbyStatus(main);
        ConfigureTheLobby(main);
        WithTheMeetingRooms(main, [&](CDevBatchOperateDlg &batch) {
            SendTheStandbyImage(batch);
            UpdateTheKernels(batch);
            RebootWithOneRefusing(batch);
        });
        ChangeTheCommunicationPassword(main);
        AdministerAccounts(main);
        prompts_.Clear();
        main.OnLogOutClicked();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("确认要注销用户吗?")});
    }

    void WorkAsOrdinaryUser(CQMDlg &main) {
        EXPECT_EQ(main.DeviceList().rowCount(), 6);
        for (const char *hidden : {"设备配置", "批量操作", "手动添加设备", "删除设备", "搜索新设备"})
            EXPECT_TRUE(FindButton(&main, QString::fromUtf8(hidden))->isHidden()) << hidden;
        EXPECT_EQ(main.Groups()->ContextMenu(main.Groups()->Root()), nullptr);
        EXPECT_EQ(main.ListMenu(0), nullptr);
        prompts_.Clear();
        main.close();
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("确认要退出吗?")});
    }

    void ExpectTheStoresHoldTheDay() {
        const std::string devices = cwd_.Read("DevsInfo.ini");
        for (const std::string &mac : AllMacs()) EXPECT_NE(devices.find(mac), std::string::npos) << mac;
        EXPECT_NE(devices.find(ToCp936(kAlias).toStdString()), std::string::npos);
        EXPECT_NE(devices.find(talvo_sim::Md5Hex(kNewOperatePassword)), std::string::npos);
        EXPECT_NE(cwd_.Read("GroupsInfo.ini").find(ToCp936(kGroup).toStdString()), std::string::npos);
        EXPECT_NE(cwd_.Read("AccountInfo.ini").find("zhangwei"), std::string::npos);
    }

    void ExpectTheSameFleetAfterARestart() {
        ASSERT_EQ(ZR_QM_Init(), 0);
        ASSERT_EQ(ZR_QM_Login("admin", "pelun"), ZR_QM_USER_SUPER_ADMIN);
        auto main = OpenMainWindow();
        main->show();
        EXPECT_EQ(main->DeviceList().rowCount(), 6);
        QTreeWidgetItem *rooms = main->Groups()->FindGroup(ToCp936(kGroup));
        ASSERT_NE(rooms, nullptr);
        SelectNode(*main, rooms);
        EXPECT_EQ(main->DeviceList().rowCount(), 3);
        EXPECT_EQ(AliasOf(kRooms[0]), ToCp936(kAlias));
        WaitForStates();
        // The library logs in with the new communication password.
        NetConfig net{};
        EXPECT_EQ(ZR_QM_GetDeviceNetConf(kLobby, &net), 0);
        EXPECT_STREQ(net.wifi_ssid, "Lobby-Screen");
        main.reset();
    }
};

TEST_F(OperatorDayTest, AWholeWorkingDayEndsInTheStoresAndSurvivesARestart) {
    StartFleet();
    StartLibrary();
    {
        CLoginDlg login;
        login.show();
        SignIn(login, "admin", "pelun", [&](CQMDlg &main) { WorkAsAdministrator(main); });
        EXPECT_TRUE(login.isVisible()); // back at the login window after logging out
        SignIn(login, "zhangwei", "meeting2026", [&](CQMDlg &main) { WorkAsOrdinaryUser(main); });
        EXPECT_FALSE(login.isVisible()); // the exit ended the program's window
    }
    ASSERT_EQ(ZR_QM_DeInit(), 0);
    ExpectTheStoresHoldTheDay();
    ExpectTheSameFleetAfterARestart();
}

} // namespace
} // namespace talvo::testing
