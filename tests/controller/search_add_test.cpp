// Receivers entering the managed list: the search result window (listing,
// ticking, sorting, adding, searching again) and the manual add by address.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>

#include "app/add_device_dlg.h"
#include "app/qm_dlg.h"
#include "app/search_device_list_dlg.h"
#include "common/cp936.h"
#include "common/ip_address_edit.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using Result = CSearchDeviceListDlg::Column;

talvo_sim::ReceiverConfig Receiver(const char *mac, const char *address, const char *model, const char *version) {
    talvo_sim::ReceiverConfig receiver;
    receiver.mac = mac;
    receiver.address = address;
    receiver.model = model;
    receiver.version = version;
    receiver.settings[talvo_sim::kNetSettings]["wifi_ssid"] = std::string("Hall ") + address;
    return receiver;
}

int SearchListSize() {
    DeviceInfo *found = nullptr;
    const int count = ZR_QM_GetSearchDeviceList(&found);
    if (count > 0) std::free(found);
    return count;
}

class SearchAddTest : public ControllerTest {
protected:
    // One managed receiver and two that only answer searches.
    void StartWithNewcomers() {
        WriteDevices(AddReceivers({Receiver(kManaged, "127.12.0.1", "TALVO_JX", "TALVO_JX-V2.1.0")}));
        Fleet().Add(Receiver(kFirst, "127.12.0.10", "TALVO_SX", "V1.3.10"));
        Fleet().Add(Receiver(kSecond, "127.12.0.9", "TALVO_HX", "V1.3.9"));
        StartLibrary();
        LogIn();
        window_ = OpenMainWindow();
    }

    // Searches until both newcomers are in the library's search list.
    void Search(int expected = 2) {
        ZR_QM_ClearSearchDeviceList();
        ASSERT_TRUE(WaitFor([&] {
            ZR_QM_SearchDevice();
            return WaitFor([&] { return SearchListSize() >= expected; }, 1);
        })) << "the receivers did not answer the search";
    }

    static QStringList Column(QTreeWidget *list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    static QTreeWidgetItem *RowOf(QTreeWidget *list, const char *mac) {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (CSearchDeviceListDlg::CellBytes(list->topLevelItem(i), Result::kMacColumn) == mac)
                return list->topLevelItem(i);
        return nullptr;
    }
    static void Tick(QTreeWidgetItem *row, bool ticked) {
        row->setCheckState(Result::kTickColumn, ticked ? Qt::Checked : Qt::Unchecked);
    }
    QList<QByteArray> MainMacs() const {
        QList<QByteArray> macs;
        for (int row = 0; row < window_->DeviceList().rowCount(); ++row) macs << window_->DeviceList().Mac(row);
        return macs;
    }

    static constexpr char kManaged[] = "02:54:56:00:20:01";
    static constexpr char kFirst[] = "02:54:56:00:20:02";
    static constexpr char kSecond[] = "02:54:56:00:20:03";
    std::unique_ptr<CQMDlg> window_;
};

TEST_F(SearchAddTest, ResultsListTheAnsweringReceiversAndAddingAppendsEachToTheMainListOnce) {
    StartWithNewcomers();
    Search();
    CSearchDeviceListDlg results(window_.get());
    results.show();
    EXPECT_EQ(results.windowTitle(), QStringLiteral("搜索新设备"));
    QTreeWidget *list = results.ResultList();
    QStringList headers;
    for (int column = 0; column < list->columnCount(); ++column) headers << list->headerItem()->text(column);
    EXPECT_EQ(headers, (QStringList{"", "WIFI SSID", QStringLiteral("设备类型"), QStringLiteral("IP地址"),
                                    QStringLiteral("MAC地址"), QStringLiteral("版本")}));
    const int width = list->viewport()->width(); // shares of it: 1/13, 1/5, 1/6, 1/6, 1/5 and the rest
    EXPECT_NEAR(list->columnWidth(Result::kTickColumn), width / 13, 1);
    EXPECT_NEAR(list->columnWidth(Result::kIpColumn), width / 6, 1);
    int total = 0;
    for (int column = 0; column < list->columnCount(); ++column) total += list->columnWidth(column);
    EXPECT_EQ(total, width);
    ASSERT_EQ(list->topLevelItemCount(), 2); // the managed receiver is not listed
    QTreeWidgetItem *first = RowOf(list, kFirst);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(Result::kSsidColumn), QStringLiteral("Hall 127.12.0.10"));
    EXPECT_EQ(first->text(Result::kModelColumn), QStringLiteral("TALVO_SX"));
    EXPECT_EQ(first->text(Result::kIpColumn), QStringLiteral("127.12.0.10"));
    EXPECT_EQ(first->text(Result::kVersionColumn), QStringLiteral("V1.3.10"));
    EXPECT_EQ(first->checkState(Result::kTickColumn), Qt::Unchecked);

    QPushButton *add = FindButton(&results, QStringLiteral("添加到设备列表"));
    EXPECT_TRUE(add->isDefault());
    add->click(); // nothing ticked
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请先选择设备！")});

    prompts_.Clear();
    Tick(first, true);
    add->click();
    EXPECT_EQ(MainMacs(), (QList<QByteArray>{kManaged, kFirst}));
    EXPECT_TRUE(window_->DeviceList().Cell(1, DeviceListModel::kStateColumn).isEmpty());
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find(kFirst), std::string::npos);
    EXPECT_TRUE(results.isVisible()); // the window stays for more

    Tick(RowOf(list, kSecond), true); // both ticked, the first one listed already
    add->click();
    EXPECT_EQ(MainMacs(), (QList<QByteArray>{kManaged, kFirst, kSecond}));
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo(kSecond, &info), 0);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(SearchAddTest, AnEmptyResultListAsksForADeviceFirst) {
    StartWithNewcomers();
    ZR_QM_ClearSearchDeviceList();
    const int waited_before = clock_.Waited();
    CSearchDeviceListDlg results(window_.get());
    EXPECT_EQ(clock_.Waited() - waited_before, CSearchDeviceListDlg::kOpeningWaitMs);
    EXPECT_EQ(results.ResultList()->topLevelItemCount(), 0);
    FindButton(&results, QStringLiteral("添加到设备列表"))->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("请先选择设备！")});
}

TEST_F(SearchAddTest, SelectAllTicksAndUnticksInvertFlipsAndAClickOnTheMarkedRowFlipsIt) {
    StartWithNewcomers();
    Search();
    CSearchDeviceListDlg results(window_.get());
    results.show();
    QTreeWidget *list = results.ResultList();
    QCheckBox *select_all = nullptr, *invert = nullptr;
    for (QCheckBox *box : results.findChildren<QCheckBox *>())
        (box->text() == QStringLiteral("全选") ? select_all : invert) = box;
    ASSERT_TRUE(select_all && invert && invert->text() == QStringLiteral("反选"));
    QTreeWidgetItem *a = list->topLevelItem(0), *b = list->topLevelItem(1);
    auto state = [](QTreeWidgetItem *row) {
        return std::make_pair(row->checkState(Result::kTickColumn) == Qt::Checked, row->isSelected());
    };

    select_all->click();
    EXPECT_EQ(state(a), std::make_pair(true, true));
    EXPECT_EQ(state(b), std::make_pair(true, true));
    select_all->click(); // unlike the main window's box, this one unticks
    EXPECT_EQ(state(a), std::make_pair(false, false));
    EXPECT_EQ(state(b), std::make_pair(false, false));

    Tick(a, true);
    invert->click();
    EXPECT_EQ(state(a), std::make_pair(false, false));
    EXPECT_EQ(state(b), std::make_pair(true, true));

    const QPoint beside_tick(list->columnViewportPosition(Result::kModelColumn) + 5, list->visualItemRect(a).center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beside_tick); // marks the row, flips its tick
    EXPECT_EQ(list->currentItem(), a);
    EXPECT_EQ(a->checkState(Result::kTickColumn), Qt::Checked);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beside_tick);
    EXPECT_EQ(a->checkState(Result::kTickColumn), Qt::Unchecked);
}

TEST_F(SearchAddTest, HeaderClicksSortByAddressAndVersionAscendingThenDescendingAndTicksFollowTheirRows) {
    StartWithNewcomers();
    Search();
    CSearchDeviceListDlg results(window_.get());
    QTreeWidget *list = results.ResultList();
    Tick(RowOf(list, kFirst), true);
    const struct {
        int column;
        QStringList order; // MACs after each of two clicks
        QStringList reversed;
    } cases[] = {
        {Result::kIpColumn, {kSecond, kFirst}, {kFirst, kSecond}},      // .9 before .10
        {Result::kVersionColumn, {kSecond, kFirst}, {kFirst, kSecond}}, // 1.3.9 before 1.3.10
        {Result::kModelColumn, {kSecond, kFirst}, {kFirst, kSecond}},   // HX before SX
    };
    for (const auto &c : cases) {
        results.OnHeaderClicked(c.column);
        EXPECT_EQ(Column(list, Result::kMacColumn), c.order) << c.column;
        results.OnHeaderClicked(c.column);
        EXPECT_EQ(Column(list, Result::kMacColumn), c.reversed) << c.column;
    }
    EXPECT_EQ(RowOf(list, kFirst)->checkState(Result::kTickColumn), Qt::Checked);
    EXPECT_EQ(RowOf(list, kSecond)->checkState(Result::kTickColumn), Qt::Unchecked);
}

TEST_F(SearchAddTest, RefreshSearchesAgainAndKeepsTheReceiversFoundBefore) {
    StartWithNewcomers();
    Search();
    CSearchDeviceListDlg results(window_.get());
    ASSERT_EQ(results.ResultList()->topLevelItemCount(), 2);
    Fleet().Add(Receiver("02:54:56:00:20:04", "127.12.0.11", "TALVO_TX", "V1.0.0"));
    QPushButton *refresh = FindButton(&results, QStringLiteral("刷新"));
    EXPECT_TRUE(WaitFor([&] {
        refresh->click();
        return results.ResultList()->topLevelItemCount() == 3;
    }));
    EXPECT_NE(RowOf(results.ResultList(), kFirst), nullptr);
}

TEST_F(SearchAddTest, TheSearchButtonOpensTheResultWindow) {
    StartWithNewcomers();
    SetWindowOpener(nullptr); // the program's own windows
    int listed = -1;
    // The answers may take longer than the window's wait: search until they are in.
    WhenModal<CSearchDeviceListDlg>([&](CSearchDeviceListDlg &results) {
        WaitFor([&] {
            results.OnRefresh();
            return results.ResultList()->topLevelItemCount() == 2;
        });
        listed = results.ResultList()->topLevelItemCount();
        results.reject();
    });
    FindButton(window_.get(), QStringLiteral("搜索新设备"))->click();
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(SearchListSize(), 0); // cleared once the window closed
}

TEST_F(SearchAddTest, ManualAddChecksTheAddressAndTellsAManagedMacInCapitals) {
    talvo_sim::ReceiverConfig lower = Receiver("02:54:56:0a:0b:0c", "127.12.0.20", "TALVO_JX", "V2.0.0");
    WriteDevices(AddReceivers({lower}));
    Fleet().Add(Receiver(kFirst, "127.12.0.21", "TALVO_NX", "V2.0.1"));
    StartLibrary();
    LogIn();
    window_ = OpenMainWindow();
    CAddDeviceDlg add(window_.get());
    add.show();
    EXPECT_EQ(add.windowTitle(), QStringLiteral("添加设备"));
    QPushButton *ok = FindButton(&add, QStringLiteral("确定"));
    struct Case {
        const char *address;
        const char *notice;
    };
    const Case refused[] = {
        {"", "ip地址为空！"},
        {"127.12.0.20", "02:54:56:0A:0B:0C MAC地址设备已存在！"},
        {"127.12.0.99", "添加设备失败！"}, // nobody answers there
    };
    for (const Case &c : refused) {
        prompts_.Clear();
        add.AddressBox()->SetText(QString::fromLatin1(c.address));
        ok->click();
        EXPECT_EQ(prompts_.Texts(), QStringList{QString::fromUtf8(c.notice)}) << c.address;
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(add.AddressBox()->Text(), QString::fromLatin1(c.address)); // still entered
        EXPECT_EQ(window_->DeviceList().rowCount(), 1);
    }

    prompts_.Clear();
    add.AddressBox()->SetText(QStringLiteral("127.12.0.21"));
    ok->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("添加设备成功！")});
    EXPECT_FALSE(add.isVisible());
    EXPECT_EQ(add.result(), QDialog::Accepted);
    ASSERT_EQ(MainMacs(), (QList<QByteArray>{"02:54:56:0a:0b:0c", kFirst}));
    EXPECT_TRUE(window_->DeviceList().Cell(1, DeviceListModel::kStateColumn).isEmpty());
    EXPECT_EQ(window_->DeviceList().Cell(1, DeviceListModel::kModelColumn), "TALVO_NX");
    window_->RefreshStateColumn();
    EXPECT_FALSE(window_->DeviceList().Cell(1, DeviceListModel::kStateColumn).isEmpty());
}

TEST_F(SearchAddTest, TheManualAddButtonOpensTheAddWindow) {
    StartLibrary();
    LogIn();
    window_ = OpenMainWindow();
    SetWindowOpener(nullptr);
    bool opened = false;
    WhenModal<CAddDeviceDlg>([&](CAddDeviceDlg &add) {
        opened = add.AddressBox()->IsBlank();
        FindButton(&add, QStringLiteral("取消"))->click();
    });
    FindButton(window_.get(), QStringLiteral("手动添加设备"))->click();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

} // namespace
} // namespace talvo::testing
