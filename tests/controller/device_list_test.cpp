// The main window's list and tree against the library and the simulator:
// cells, states, icons and counters, the refresh rules and timers, paging,
// the group tree, sorting, ticking and appending rows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/group_tree.h"
#include "app/qm_dlg.h"
#include "common/cp936.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using Column = DeviceListModel::Column;

class DeviceListTest : public ControllerTest {
protected:
    static int RowOf(CQMDlg &window, const std::string &mac) {
        return window.DeviceList().FindMac(QByteArray::fromStdString(mac));
    }
    static QString Text(CQMDlg &window, const std::string &mac, int column) {
        return FromCp936(window.DeviceList().Cell(RowOf(window, mac), column));
    }
    static QString Box(CQMDlg &window, const char *name) {
        return window.findChild<QLineEdit *>(QString::fromUtf8(name))->text();
    }
    static QList<QByteArray> Macs(CQMDlg &window) {
        QList<QByteArray> macs;
        for (int row = 0; row < window.DeviceList().rowCount(); ++row) macs << window.DeviceList().Mac(row);
        return macs;
    }

    // Lets the library record each receiver's run time, then takes the
    // receivers off the network: the library keeps them online with that run
    // time for two more refreshes, while the simulator's clocks would run on.
    void FreezeRunTimes(const std::vector<std::pair<std::string, std::uint32_t>> &run_times) {
        ASSERT_TRUE(WaitFor([&] {
            for (const auto &[mac, seconds] : run_times) Fleet().SetRunTime(mac, seconds);
            ZR_QM_UpdateAllDeviceState();
            for (const auto &[mac, seconds] : run_times) {
                DeviceInfo info{};
                if (ZR_QM_GetDeviceInfo(mac.c_str(), &info) != 0 || info.RunTime != seconds) return false;
            }
            return true;
        }));
        for (const auto &run_time : run_times) Fleet().TakeOffline(run_time.first);
    }

    static talvo_sim::ReceiverConfig Receiver(const char *mac, const char *address, const char *model,
                                              const char *state) {
        talvo_sim::ReceiverConfig receiver;
        receiver.mac = mac;
        receiver.address = address;
        receiver.model = model;
        receiver.state = state;
        receiver.settings[talvo_sim::kNetSettings]["wifi_ssid"] = std::string("SSID ") + mac;
        return receiver;
    }
};

const std::string kMeetingRoom = "\xBB\xE1\xD2\xE9\xCA\xD2"; // "会议室" in code page 936

TEST_F(DeviceListTest, RowsShowTheLibrarysDevicesWithStatesIconsDurationsAndCounters) {
    const std::string casting = "02:54:56:00:01:01", idle = "02:54:56:00:01:02", standby = "02:54:56:00:01:03",
                      offline = "02:54:56:00:01:04";
    std::vector<StoredDevice> devices = AddReceivers({
        Receiver(casting.c_str(), "127.10.0.1", "TALVO_SX", "share"),
        Receiver(idle.c_str(), "127.10.0.2", "TALVO_HX", "idle"),
        Receiver(standby.c_str(), "127.10.0.3", "TALVO_MX", "standby"),
    });
    devices[0].group = kMeetingRoom;
    devices[0].alias = "\xCD\xB6\xD3\xB0\xD2\xC7"; // "投影仪"
    StoredDevice gone;
    gone.mac = offline;
    gone.ip = "127.10.0.4";
    devices.push_back(gone);
    WriteDevices(devices);
    WriteGroups({kMeetingRoom});
    StartLibrary();
    LogIn();
    WaitForOnline({casting, idle});
    ASSERT_TRUE(WaitFor([&] {
        ZR_QM_UpdateAllDeviceState();
        return StateOf(standby) == ZR_QM_STATE_STANDBY;
    }));
    FreezeRunTimes({{casting, 90061}, {idle, 3599}});

    auto window = OpenMainWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("TALVO controller"));
    EXPECT_EQ(window->minimumSize(), QSize(800, 450));
    EXPECT_EQ(Macs(*window), (QList<QByteArray>{casting.c_str(), idle.c_str(), standby.c_str(), offline.c_str()}));
    EXPECT_EQ(Text(*window, casting, Column::kGroupColumn), QStringLiteral("会议室"));
    EXPECT_EQ(Text(*window, casting, Column::kAliasColumn), QStringLiteral("投影仪"));
    EXPECT_EQ(Text(*window, casting, Column::kSsidColumn), QString::fromStdString("SSID " + casting));
    EXPECT_EQ(Text(*window, casting, Column::kModelColumn), QStringLiteral("TALVO_SX"));
    EXPECT_EQ(Text(*window, casting, Column::kIpColumn), QStringLiteral("127.10.0.1"));
    EXPECT_EQ(Text(*window, casting, Column::kVersionColumn), QStringLiteral("TALVO_SX-V2.1.0"));
    EXPECT_EQ(Text(*window, idle, Column::kGroupColumn), QStringLiteral("默认分组"));

    struct Expected {
        std::string mac;
        const char *state;
        DeviceListModel::StateIcon icon;
        const char *run_time;
    };
    const Expected rows[] = {
        {casting, "投屏", DeviceListModel::kOrangeIcon, "1天01:01:01"},
        {idle, "运行", DeviceListModel::kGreenIcon, "00:59:59"},
        {standby, "待机", DeviceListModel::kGreenIcon, nullptr},
        {offline, "掉线", DeviceListModel::kGreyIcon, "00:00:00"},
    };
    for (const Expected &row : rows) {
        EXPECT_EQ(Text(*window, row.mac, Column::kStateColumn), QString::fromUtf8(row.state)) << row.mac;
        EXPECT_EQ(window->DeviceList().Icon(RowOf(*window, row.mac)), row.icon) << row.mac;
        if (row.run_time) {
            EXPECT_EQ(Text(*window, row.mac, Column::kRunTimeColumn), QString::fromUtf8(row.run_time)) << row.mac;
        }
        EXPECT_EQ(Text(*window, row.mac, Column::kRebootColumn), QStringLiteral("0"));
    }
    EXPECT_EQ(Box(*window, "running"), QStringLiteral("1"));
    EXPECT_EQ(Box(*window, "casting"), QStringLiteral("1"));
    EXPECT_EQ(Box(*window, "offline"), QStringLiteral("1")); // standby counts nowhere
    EXPECT_EQ(Box(*window, "rows"), QStringLiteral("4"));

    QAbstractItemModel *model = window->DeviceListView()->model();
    const char *headers[] = {"",     "分组名称", "主机名称", "WIFI SSID", "设备类型",      "IP地址",
                             "MAC地址", "版本",     "状态",     "运行时间",  "上线/下线时间", "重启次数"};
    for (int column = 0; column < DeviceListModel::kColumnCount; ++column)
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), QString::fromUtf8(headers[column]));
}

TEST_F(DeviceListTest, RefreshRunsAtMostOncePerSecondWhileTimerTicksAlwaysRun) {
    const std::string mac = "02:54:56:00:02:01";
    WriteDevices(AddReceivers({Receiver(mac.c_str(), "127.10.1.1", "TALVO_JX", "idle")}));
    StartLibrary();
    LogIn();
    WaitForOnline({mac});
    auto window = OpenMainWindow(); // refreshes once while it opens
    QPushButton *refresh = FindButton(window.get(), QStringLiteral("刷新"));

    ASSERT_EQ(ZR_QM_SaveDevAlias(mac.c_str(), "first"), 0);
    refresh->click(); // the same second as the opening's refresh
    EXPECT_EQ(Text(*window, mac, Column::kAliasColumn), QString());
    clock_.Advance(1);
    refresh->click();
    EXPECT_EQ(Text(*window, mac, Column::kAliasColumn), QStringLiteral("first"));
    ASSERT_EQ(ZR_QM_SaveDevAlias(mac.c_str(), "second"), 0);
    refresh->click();
    EXPECT_EQ(Text(*window, mac, Column::kAliasColumn), QStringLiteral("first"));

    EXPECT_TRUE(window->StateTimer().isActive());
    EXPECT_EQ(window->StateTimer().interval(), 5000);
    EXPECT_TRUE(window->DisplayTimer().isActive());
    EXPECT_EQ(window->DisplayTimer().interval(), 10000);

    // Timer 2 refreshes the display whenever it ticks.
    window->OnDisplayTimer();
    EXPECT_EQ(Text(*window, mac, Column::kAliasColumn), QStringLiteral("second"));

    // Timer 1 refreshes the library's states and leaves the display alone.
    Fleet().SetState(mac, "share");
    ASSERT_TRUE(WaitFor([&] {
        window->OnStateTimer();
        return StateOf(mac) == ZR_QM_STATE_SHARE;
    }));
    EXPECT_EQ(Text(*window, mac, Column::kStateColumn), QStringLiteral("运行"));
    window->OnDisplayTimer();
    EXPECT_EQ(Text(*window, mac, Column::kStateColumn), QStringLiteral("投屏"));
    EXPECT_EQ(Box(*window, "casting"), QStringLiteral("1"));
}

TEST_F(DeviceListTest, FifteenHundredDevicesShowAThousandRowsAndThePagesReachTheRest) {
    std::vector<StoredDevice> devices = UnreachableDevices(1500);
    for (int i = 0; i < 10; ++i) devices[static_cast<std::size_t>(i)].group = kMeetingRoom;
    WriteDevices(devices);
    WriteGroups({kMeetingRoom});
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    auto mac = [&](int i) { return QByteArray::fromStdString(devices[static_cast<std::size_t>(i)].mac); };
    QPushButton *previous = FindButton(window.get(), QStringLiteral("上一页"));
    QPushButton *next = FindButton(window.get(), QStringLiteral("下一页"));

    EXPECT_EQ(window->DeviceList().rowCount(), 1000);
    EXPECT_EQ(Box(*window, "rows"), QStringLiteral("1000"));
    EXPECT_EQ(window->DeviceList().Mac(999), mac(999));
    EXPECT_FALSE(previous->isHidden());
    EXPECT_FALSE(next->isHidden());

    next->click();
    EXPECT_EQ(window->DeviceList().rowCount(), 500);
    EXPECT_EQ(window->DeviceList().Mac(0), mac(1000));
    EXPECT_EQ(Box(*window, "rows"), QStringLiteral("500"));
    EXPECT_EQ(Text(*window, devices[1000].mac, Column::kStateColumn), QStringLiteral("掉线"));
    next->click(); // nothing after the last page
    EXPECT_EQ(window->DeviceList().Mac(0), mac(1000));
    previous->click();
    EXPECT_EQ(window->DeviceList().rowCount(), 1000);
    EXPECT_EQ(window->DeviceList().Mac(0), mac(0));

    // A group within one page needs no paging.
    window->Groups()->setCurrentItem(window->Groups()->FindGroup(QByteArray::fromStdString(kMeetingRoom)));
    EXPECT_EQ(window->DeviceList().rowCount(), 10);
    EXPECT_TRUE(previous->isHidden());
    EXPECT_TRUE(next->isHidden());
}

TEST_F(DeviceListTest, TreeHoldsRootAndGroupsWithTheDefaultGroupFirstAndSelectionRefillsTheList) {
    const std::string training = "\xC5\xE0\xD1\xB5\xCA\xD2"; // "培训室"
    std::vector<StoredDevice> devices = UnreachableDevices(4);
    devices[0].group = kMeetingRoom;
    devices[1].group = "";
    devices[3].group = training;
    WriteDevices(devices);
    WriteGroups({kMeetingRoom, training}); // no "默认分组" yet
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    GroupTree *tree = window->Groups();

    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->Root();
    EXPECT_EQ(root->text(0), QStringLiteral("所有设备"));
    QStringList groups;
    for (int i = 0; i < root->childCount(); ++i) groups << root->child(i)->text(0);
    EXPECT_EQ(groups, (QStringList{QStringLiteral("默认分组"), QStringLiteral("会议室"), QStringLiteral("培训室")}));
    EXPECT_EQ(tree->SelectedNode(), root);
    EXPECT_EQ(window->DeviceList().rowCount(), 4);

    ZR_QM_GroupName *names = nullptr;
    ASSERT_EQ(ZR_QM_GetGroupList(&names), 3); // the window created "默认分组"
    EXPECT_EQ(std::string(names[2]), kDefaultGroup);
    std::free(names);

    tree->setCurrentItem(tree->FindGroup(QByteArray::fromStdString(kMeetingRoom)));
    EXPECT_EQ(Macs(*window), QList<QByteArray>{QByteArray::fromStdString(devices[0].mac)});
    EXPECT_EQ(Box(*window, "rows"), QStringLiteral("1"));
    EXPECT_EQ(Text(*window, devices[0].mac, Column::kStateColumn), QStringLiteral("掉线"));
    tree->setCurrentItem(tree->FindGroup(GroupTree::DefaultGroupName()));
    EXPECT_EQ(window->DeviceList().rowCount(), 2); // the empty group was stored as the default
    tree->setCurrentItem(root);
    EXPECT_EQ(window->DeviceList().rowCount(), 4);
}

TEST_F(DeviceListTest, HeaderClicksSortByTheColumnsComparisonEachColumnWithItsOwnDirection) {
    std::vector<StoredDevice> devices = UnreachableDevices(3);
    const char *addresses[] = {"127.0.1.10", "127.0.1.9", "127.0.0.200"};
    const char *versions[] = {"V1.3.9", "V1.3.10", "V1.3.9"};
    for (std::size_t i = 0; i < 3; ++i) {
        devices[i].ip = addresses[i];
        devices[i].version = versions[i];
    }
    WriteDevices(devices);
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    auto column_texts = [&](int column) {
        QStringList texts;
        for (int row = 0; row < 3; ++row) texts << FromCp936(window->DeviceList().Cell(row, column));
        return texts;
    };

    window->OnHeaderClicked(Column::kIpColumn);
    EXPECT_EQ(column_texts(Column::kIpColumn), (QStringList{"127.0.0.200", "127.0.1.9", "127.0.1.10"}));
    window->OnHeaderClicked(Column::kIpColumn);
    EXPECT_EQ(column_texts(Column::kIpColumn), (QStringList{"127.0.1.10", "127.0.1.9", "127.0.0.200"}));
    window->OnHeaderClicked(Column::kVersionColumn); // its own first click: ascending
    EXPECT_EQ(column_texts(Column::kVersionColumn), (QStringList{"V1.3.9", "V1.3.9", "V1.3.10"}));
    EXPECT_EQ(column_texts(Column::kIpColumn), (QStringList{"127.0.1.10", "127.0.0.200", "127.0.1.9"}));
    window->OnHeaderClicked(Column::kTickColumn); // not sortable
    EXPECT_EQ(column_texts(Column::kVersionColumn), (QStringList{"V1.3.9", "V1.3.9", "V1.3.10"}));
}

TEST_F(DeviceListTest, SelectAllInvertAndRowClicksTickByTheirRules) {
    WriteDevices(UnreachableDevices(3));
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    window->show();
    DeviceListModel &list = window->DeviceList();
    QTableView *view = window->DeviceListView();
    auto *select_all = window->findChild<QCheckBox *>();
    ASSERT_EQ(select_all->text(), QStringLiteral("全选"));
    QCheckBox *invert = window->findChildren<QCheckBox *>().at(1);
    auto click_cell = [&](int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(list.index(row, Column::kMacColumn)).center());
    };

    select_all->click();
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(select_all->isChecked());
    select_all->click(); // never clears the ticks
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(select_all->isChecked());

    invert->click();
    EXPECT_TRUE(list.TickedRows().isEmpty());
    EXPECT_FALSE(select_all->isChecked());
    list.SetTicked(1, true);
    invert->click();
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 2}));

    // One selected row: a click on it inverts its tick.
    list.SetTicked(0, false);
    list.SetTicked(2, false);
    click_cell(1);
    EXPECT_EQ(list.TickedRows(), QList<int>{1});
    QTest::qWait(QApplication::doubleClickInterval() + 100); // two clicks, not a double click
    click_cell(1);
    EXPECT_TRUE(list.TickedRows().isEmpty());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    click_cell(1);
    EXPECT_EQ(list.TickedRows(), QList<int>{1});
    // Several selected rows: every selected row is ticked.
    click_cell(2, Qt::ControlModifier);
    EXPECT_EQ(list.TickedRows(), (QList<int>{1, 2}));
    click_cell(0, Qt::ShiftModifier);
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(select_all->isChecked());
    // A ticked row clicked out of a selection of several is unticked.
    click_cell(1, Qt::ControlModifier);
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 2}));
    EXPECT_FALSE(select_all->isChecked());
    // The tick column handles itself.
    window->OnRowClicked(list.index(0, Column::kTickColumn));
    EXPECT_EQ(list.TickedRows(), (QList<int>{0, 2}));
}

TEST_F(DeviceListTest, AppendAddsUnlistedKnownDevicesAtTheEndWithAnEmptyStateCell) {
    std::vector<StoredDevice> devices = UnreachableDevices(2);
    devices[0].group = kMeetingRoom;
    WriteDevices(devices);
    WriteGroups({kMeetingRoom});
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    window->Groups()->setCurrentItem(window->Groups()->FindGroup(QByteArray::fromStdString(kMeetingRoom)));
    ASSERT_EQ(window->DeviceList().rowCount(), 1);

    ZR_QM_MacText macs[3] = {};
    std::strcpy(macs[0], devices[0].mac.c_str()); // listed already
    std::strcpy(macs[1], devices[1].mac.c_str());
    std::strcpy(macs[2], "02:00:00:00:00:99"); // not managed
    EXPECT_EQ(window->AppendDevices(macs, 3), 0);
    EXPECT_EQ(Macs(*window), (QList<QByteArray>{QByteArray::fromStdString(devices[0].mac),
                                                QByteArray::fromStdString(devices[1].mac)}));
    EXPECT_EQ(Text(*window, devices[1].mac, Column::kMacColumn), QString::fromStdString(devices[1].mac));
    EXPECT_EQ(Text(*window, devices[1].mac, Column::kStateColumn), QString());
    EXPECT_EQ(window->DeviceList().Icon(1), DeviceListModel::kNoIcon);
    EXPECT_EQ(Text(*window, devices[0].mac, Column::kStateColumn), QStringLiteral("掉线"));
    EXPECT_EQ(Box(*window, "rows"), QStringLiteral("2"));
    EXPECT_EQ(window->AppendDevices(nullptr, 1), -1);
}

} // namespace
} // namespace talvo::testing
