// The host mode page: the member list and its cells, the buttons each
// ticked member allows, the click rule, the refresh that keeps the tick, and
// the member actions.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>

#include "config/dev_compere_cfg_dlg.h"
#include "config_fixture.h"

namespace talvo::testing {
namespace {

constexpr char kHostSection[] = "compere_mode";

class HostModePageTest : public ConfigTest {
protected:
    std::unique_ptr<CDevCompereCfgDlg> OpenWith(const std::vector<talvo_sim::HostMember> &members,
                                                const std::string &model = "TALVO_SX") {
        talvo_sim::ReceiverConfig receiver = Receiver(model);
        receiver.host_members = members;
        Start(receiver);
        auto page = OpenPage<CDevCompereCfgDlg>();
        page->Load();
        ClearRequests();
        return page;
    }
    static QStringList Row(const CDevCompereCfgDlg &page, int row) {
        QStringList cells;
        for (int column = kIpColumn; column < kHostColumnCount; ++column) {
            const QTableWidgetItem *item = page.Ui().members->item(row, column);
            cells << (item ? item->text() : QString());
        }
        return cells;
    }
    static QList<int> TickedRows(const CDevCompereCfgDlg &page) {
        QList<int> ticked;
        for (int row = 0; row < page.Ui().members->rowCount(); ++row)
            if (page.Ui().members->item(row, kTickColumn)->checkState() == Qt::Checked) ticked << row;
        return ticked;
    }
    // "投屏", "退屏", "单屏", "声音分享": enabled or not.
    static std::array<bool, 4> Buttons(const CDevCompereCfgDlg &page) {
        std::array<bool, 4> enabled{};
        for (std::size_t i = 0; i < enabled.size(); ++i) enabled[i] = page.Ui().actions[i]->isEnabled();
        return enabled;
    }
    static void ClickRow(CDevCompereCfgDlg &page, int row) {
        QTableWidget *list = page.Ui().members;
        const QRect cell = list->visualItemRect(list->item(row, kNameColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
};

TEST_F(HostModePageTest, TheListShowsEachMembersCells) {
    auto page = OpenWith({
        {"127.0.0.21", "dongle", "Button 1", "false", "false", 1},
        {"127.0.0.22", "windows", "会议室笔记本", "true", "true", 4}, // names arrive as UTF-8
        {"127.0.0.23", "unknow", "Phone", "true", "false", 2},
        {"127.0.0.24", "android", "unknow", "true", "false", 2},
    });
    QTableWidget *list = page->Ui().members;
    QStringList headers;
    for (int column = 0; column < list->columnCount(); ++column) headers << list->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers, (QStringList{"", "IP", "类型", "名称", "视频状态", "音频状态", "最大画面数"}));
    ASSERT_EQ(list->rowCount(), 4);
    EXPECT_EQ(Row(*page, 0), (QStringList{"127.0.0.21", "按键", "Button 1", "false", "false", "1"}));
    EXPECT_EQ(Row(*page, 1), (QStringList{"127.0.0.22", "windows", "会议室笔记本", "true", "true", "4"}));
    EXPECT_EQ(Row(*page, 2), (QStringList{"127.0.0.23", "", "", "", "", ""}));
    EXPECT_EQ(Row(*page, 3), (QStringList{"127.0.0.24", "", "", "", "", ""}));
    EXPECT_TRUE(TickedRows(*page).isEmpty());
    EXPECT_EQ(list->item(1, kIpColumn)->textAlignment(), Qt::AlignCenter);

}

TEST_F(HostModePageTest, AListOfMoreThan32MembersShowsTheFirst32) {
    std::vector<talvo_sim::HostMember> members;
    for (int i = 0; i < 40; ++i) members.push_back({"127.0.1." + std::to_string(i + 1), "windows", "Sender"});
    auto page = OpenWith(members);
    ASSERT_EQ(page->Ui().members->rowCount(), 32);
    EXPECT_EQ(Row(*page, 31).front(), QStringLiteral("127.0.1.32"));
}

TEST_F(HostModePageTest, ColumnsTakeTheirSharesOfTheListsWidthOnceWhenFirstShown) {
    Start(Receiver("TALVO_TX"));
    auto window = OpenConfiguration();
    window->resize(900, 500);
    window->show();
    window->Tabs()->setCurrentIndex(CDevCfgDlg::kHostModeTab);
    QTableWidget *list = window->HostModePage().Ui().members;
    int left = list->viewport()->width();
    ASSERT_GT(left, 300);
    const int shares[] = {13, 5, 8, 5, 8, 8};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(list->columnWidth(column), left / shares[column]) << column;
        left -= left / shares[column];
    }
    EXPECT_EQ(list->columnWidth(6), left);
}

TEST_F(HostModePageTest, TheTickedMemberSetsTheButtons) {
    using States = std::array<bool, 4>;
    struct Case {
        const char *type, *video;
        States buttons; // "投屏", "退屏", "单屏", "声音分享"
    };
    const Case cases[] = {
        {"dongle", "true", {false, true, true, true}},  {"dongle", "false", {true, false, false, false}},
        {"windows", "true", {false, true, true, true}}, {"windows", "false", {false, false, false, false}},
        {"airplay", "true", {false, true, false, true}}, {"airplay", "false", {false, false, false, false}},
    };
    std::vector<talvo_sim::HostMember> members;
    for (const Case &c : cases)
        members.push_back({"127.0.0." + std::to_string(members.size() + 21), c.type, "Sender", c.video, "false", 1});
    members.push_back({"127.0.0.40", "dongle", "Sender", "starting", "false", 1});
    members.push_back({"127.0.0.41", "airplay", "Sender", "starting", "false", 1});
    auto page = OpenWith(members);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(std::string(cases[i].type) + " " + cases[i].video);
        page->OnRowClicked(static_cast<int>(i));
        EXPECT_EQ(Buttons(*page), cases[i].buttons);
    }
    // Any other video state leaves the buttons as they were; "airplay" still
    // disables "单屏".
    page->OnRowClicked(1); // dongle, false
    page->OnRowClicked(static_cast<int>(std::size(cases)));
    EXPECT_EQ(Buttons(*page), (States{true, false, false, false}));
    page->OnRowClicked(0); // dongle, true
    page->OnRowClicked(static_cast<int>(std::size(cases)) + 1);
    EXPECT_EQ(Buttons(*page), (States{false, true, false, true}));
}

TEST_F(HostModePageTest, AClickTicksTheRowAloneAndAClickOnTheTickedRowUnticksIt) {
    auto page = OpenWith({{"127.0.0.21", "windows", "A"}, {"127.0.0.22", "android", "B"}});
    page->resize(800, 400);
    page->show();
    ClickRow(*page, 0);
    EXPECT_EQ(TickedRows(*page), QList<int>{0});
    ClickRow(*page, 1);
    EXPECT_EQ(TickedRows(*page), QList<int>{1});
    ClickRow(*page, 1);
    EXPECT_TRUE(TickedRows(*page).isEmpty());
}

TEST_F(HostModePageTest, RefreshesKeepTheTickOnTheSameAddress) {
    auto page = OpenWith({{"127.0.0.21", "windows", "A"}, {"127.0.0.22", "android", "B", "true"}});
    EXPECT_TRUE(page->RefreshTimer().isActive());
    EXPECT_EQ(page->RefreshTimer().interval(), 5000);
    page->OnRowClicked(1);
    Fleet().SetHostMembers(mac_, {{"127.0.0.23", "windows", "C"},
                                  {"127.0.0.22", "android", "B", "false"},
                                  {"127.0.0.21", "windows", "A"}});
    page->OnRefreshTimer();
    ASSERT_EQ(page->Ui().members->rowCount(), 3);
    EXPECT_EQ(TickedRows(*page), QList<int>{1});
    EXPECT_EQ(Buttons(*page), (std::array<bool, 4>{false, false, false, false})); // from the new state

    Fleet().SetHostMembers(mac_, {{"127.0.0.21", "windows", "A"}});
    page->Ui().refresh->click();
    EXPECT_EQ(page->Ui().members->rowCount(), 1);
    EXPECT_TRUE(TickedRows(*page).isEmpty());

    Fleet().InjectFault(mac_, kHostSection, talvo_sim::Fault(talvo_sim::FaultType::Status, 500, "", 1));
    page->OnRefreshTimer();
    EXPECT_EQ(page->Ui().members->rowCount(), 0); // a failed read leaves the list empty
}

TEST_F(HostModePageTest, MemberActionsSendTheirOperationWaitAndShowTheNewState) {
    auto page = OpenWith({{"127.0.0.21", "windows", "Laptop"}, {"127.0.0.22", "dongle", "Button", "false", "false"}});
    struct Step {
        int button;
        SentFields sent;
        QStringList row_after; // the member's row after the action
    };
    const Step steps[] = {
        {CDevCompereCfgDlg::kCastButton,
         {{"conn_ip", "127.0.0.22"}, {"vstart", "true"}},
         {"127.0.0.22", "按键", "Button", "true", "false", "0"}},
        {CDevCompereCfgDlg::kSoundButton,
         {{"conn_ip", "127.0.0.22"}, {"astart", "true"}},
         {"127.0.0.22", "按键", "Button", "true", "true", "0"}},
        {CDevCompereCfgDlg::kSoundButton, // sound on: operation 4 turns it off
         {{"conn_ip", "127.0.0.22"}, {"astart", "false"}},
         {"127.0.0.22", "按键", "Button", "true", "false", "0"}},
        {CDevCompereCfgDlg::kSingleButton,
         {{"conn_ip", "127.0.0.22"}, {"single_display", "true"}},
         {"127.0.0.22", "按键", "Button", "true", "false", "0"}},
        {CDevCompereCfgDlg::kStopButton,
         {{"conn_ip", "127.0.0.22"}, {"vstart", "false"}},
         {"127.0.0.22", "按键", "Button", "false", "false", "0"}},
    };
    page->OnRowClicked(1);
    int waited = clock_.Waited();
    for (const Step &step : steps) {
        SCOPED_TRACE(step.button);
        ClearRequests();
        page->OnAction(step.button);
        EXPECT_EQ(OnlySave(kHostSection), step.sent);
        EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("操作成功！")});
        EXPECT_EQ(clock_.Waited() - waited, 500);
        waited = clock_.Waited();
        EXPECT_EQ(TickedRows(*page), QList<int>{1});
        EXPECT_EQ(Row(*page, 1), step.row_after);
    }
    EXPECT_EQ(Buttons(*page), (std::array<bool, 4>{true, false, false, false})); // a stopped button again

    Fleet().InjectFault(mac_, "save", talvo_sim::Fault(talvo_sim::FaultType::ErrCode, 1));
    ClearRequests();
    page->Ui().actions[CDevCompereCfgDlg::kCastButton]->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("操作失败！")});
    EXPECT_EQ(clock_.Waited(), waited);
}

TEST_F(HostModePageTest, AnActionWithoutATickedMemberSaysSo) {
    auto page = OpenWith({{"127.0.0.21", "windows", "Laptop", "true"}});
    page->Ui().actions[CDevCompereCfgDlg::kStopButton]->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("没有选中！")});
    page->OnRowClicked(0);
    Fleet().SetHostMembers(mac_, {}); // gone before the action reads the list again
    ClearRequests();
    page->Ui().actions[CDevCompereCfgDlg::kStopButton]->click();
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("没有选中！")});
    EXPECT_TRUE(Saves(kHostSection).empty());
}

} // namespace
} // namespace talvo::testing
