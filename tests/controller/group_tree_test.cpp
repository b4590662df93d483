// Arranging groups and devices in the main window: the tree's context menu
// (add, delete, rename through the label editor), the "移动到分组" submenu,
// and the alias and group editors of the list's cells.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <cstdlib>

#include "app/group_tree.h"
#include "app/qm_dlg.h"
#include "app/row_editors.h"
#include "common/cp936.h"
#include "controller_fixture.h"
#include "korvel.h"

namespace talvo::testing {
namespace {

using Column = DeviceListModel::Column;

QByteArray Gbk(const char *utf8) { return ToCp936(QString::fromUtf8(utf8)); }

QList<QByteArray> LibraryGroups() {
    ZR_QM_GroupName *names = nullptr;
    const int count = ZR_QM_GetGroupList(&names);
    QList<QByteArray> groups;
    for (int i = 0; i < count; ++i) groups << FieldBytes(names[i]);
    if (count > 0) std::free(names);
    return groups;
}

DeviceInfo Library(const std::string &mac) {
    DeviceInfo info{};
    EXPECT_EQ(ZR_QM_GetDeviceInfo(mac.c_str(), &info), 0) << mac;
    return info;
}

QStringList NodeTexts(GroupTree &tree) {
    QStringList texts;
    for (int i = 0; i < tree.Root()->childCount(); ++i) texts << tree.Root()->child(i)->text(0);
    return texts;
}

QStringList EntryTexts(const QMenu &menu) {
    QStringList texts;
    for (QAction *action : menu.actions()) texts << action->text();
    return texts;
}

class GroupTreeTest : public ControllerTest {
protected:
    // Four devices: A and B in "会议室", C and D in "默认分组"; the groups
    // "默认分组", "会议室", "培训室".
    void StartWithGroups(bool ordinary_user = false) {
        devices_ = UnreachableDevices(4);
        devices_[0].group = devices_[1].group = Gbk("会议室").toStdString();
        WriteDevices(devices_);
        WriteGroups({kDefaultGroup, Gbk("会议室").toStdString(), Gbk("培训室").toStdString()});
        if (ordinary_user) {
            StartAsOrdinaryUser();
        } else {
            StartLibrary();
            LogIn();
        }
        window_ = OpenMainWindow();
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        tree_ = window_->Groups();
    }

    QTreeWidgetItem *Node(const char *utf8) { return tree_->FindGroup(Gbk(utf8)); }
    std::string Mac(int device) const { return devices_[static_cast<std::size_t>(device)].mac; }
    int RowOf(int device) { return window_->DeviceList().FindMac(QByteArray::fromStdString(Mac(device))); }
    QString Cell(int device, int column) { return FromCp936(window_->DeviceList().Cell(RowOf(device), column)); }
    QString RowsBox() { return window_->findChild<QLineEdit *>(QStringLiteral("rows"))->text(); }

    // Runs the tree's context menu entry `entry` for a right click on `node`.
    void TreeMenu(QTreeWidgetItem *node, const char *entry) {
        std::unique_ptr<QMenu> menu = tree_->ContextMenu(node);
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions())
            if (action->text() == QString::fromUtf8(entry)) return action->trigger();
        FAIL() << "no entry " << entry;
    }

    // The label editor open on the tree.
    QLineEdit *LabelEditor() { return tree_->viewport()->findChild<QLineEdit *>(); }

    void DoubleClick(int device, int column) {
        const QModelIndex cell = window_->DeviceList().index(RowOf(device), column);
        QTableView *list = window_->DeviceListView();
        list->scrollTo(cell);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
    }

    std::vector<StoredDevice> devices_;
    std::unique_ptr<CQMDlg> window_;
    GroupTree *tree_ = nullptr;
};

TEST_F(GroupTreeTest, DefaultGroupComesFirstWhereverTheLibraryListsIt) {
    WriteGroups({Gbk("会议室").toStdString(), kDefaultGroup, Gbk("培训室").toStdString()});
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    EXPECT_EQ(NodeTexts(*window->Groups()),
              (QStringList{QStringLiteral("默认分组"), QStringLiteral("会议室"), QStringLiteral("培训室")}));
    EXPECT_EQ(LibraryGroups().size(), 3); // nothing created
    EXPECT_TRUE(window->Groups()->IsRoot(window->Groups()->SelectedNode()));
}

TEST_F(GroupTreeTest, AddCreatesTheFirstFreeNewGroupNameAndSelectsIt) {
    WriteGroups({kDefaultGroup, Gbk("新建分组0").toStdString(), Gbk("新建分组1").toStdString(),
                 Gbk("新建分组3").toStdString()});
    StartLibrary();
    LogIn();
    auto window = OpenMainWindow();
    GroupTree *tree = window->Groups();
    std::unique_ptr<QMenu> menu = tree->ContextMenu(nullptr); // beside the nodes: the selected root
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(EntryTexts(*menu),
              (QStringList{QStringLiteral("添加分组"), QStringLiteral("删除分组"), QStringLiteral("重命名分组")}));
    menu->actions().at(0)->trigger();

    EXPECT_EQ(LibraryGroups().last(), Gbk("新建分组2"));
    QTreeWidgetItem *added = tree->Root()->child(tree->Root()->childCount() - 1);
    EXPECT_EQ(added->text(0), QStringLiteral("新建分组2"));
    EXPECT_EQ(tree->SelectedNode(), added);
    EXPECT_EQ(window->DeviceList().rowCount(), 0); // the new group's devices: none
    EXPECT_NE(cwd_.Read("GroupsInfo.ini").find(Gbk("新建分组2").toStdString()), std::string::npos);

    window->Groups()->ContextMenu(nullptr)->actions().at(0)->trigger();
    EXPECT_EQ(LibraryGroups().last(), Gbk("新建分组4"));
    EXPECT_TRUE(prompts_.Texts().isEmpty());
}

TEST_F(GroupTreeTest, DeleteRefusesRootAndDefaultGroupAsksAndMovesTheDevicesToTheDefaultGroup) {
    StartWithGroups();
    for (QTreeWidgetItem *fixed : {tree_->Root(), Node("默认分组")}) {
        prompts_.Clear();
        TreeMenu(fixed, "删除分组");
        ASSERT_EQ(prompts_.Shown().size(), 1u);
        EXPECT_EQ(prompts_.Shown()[0].kind, PromptKind::PlainNotice);
        EXPECT_EQ(prompts_.Shown()[0].text, QStringLiteral("该项不能删除！"));
    }
    EXPECT_EQ(LibraryGroups().size(), 3);

    tree_->setCurrentItem(Node("会议室"));
    prompts_.Clear();
    prompts_.Answer(false);
    TreeMenu(Node("会议室"), "删除分组");
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("删除\"会议室\"分组,确定吗?")});
    EXPECT_EQ(prompts_.Shown()[0].kind, PromptKind::ConfirmOkCancel);
    EXPECT_NE(Node("会议室"), nullptr);
    EXPECT_EQ(LibraryGroups().size(), 3);

    prompts_.Clear();
    TreeMenu(Node("会议室"), "删除分组");
    EXPECT_EQ(Node("会议室"), nullptr);
    EXPECT_EQ(LibraryGroups(), (QList<QByteArray>{GroupTree::DefaultGroupName(), Gbk("培训室")}));
    EXPECT_EQ(tree_->SelectedNode(), Node("默认分组"));
    EXPECT_EQ(window_->DeviceList().rowCount(), 4); // A and B joined C and D
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Group), GroupTree::DefaultGroupName());

    // With "默认分组" shown already, the list takes in the devices it received.
    tree_->setCurrentItem(Node("培训室"));
    ASSERT_EQ(ZR_QM_MoveDevToNewGroup(Mac(0).c_str(), Gbk("培训室").constData()), 1);
    tree_->setCurrentItem(Node("默认分组"));
    ASSERT_EQ(window_->DeviceList().rowCount(), 3);
    TreeMenu(Node("培训室"), "删除分组");
    EXPECT_EQ(tree_->SelectedNode(), Node("默认分组"));
    EXPECT_EQ(window_->DeviceList().rowCount(), 4);
    EXPECT_EQ(RowsBox(), QStringLiteral("4"));
}

TEST_F(GroupTreeTest, RenameChecksTheNewNameInOrderAndChangesTheLibraryOnlyAfterConfirmation) {
    StartWithGroups();
    QTreeWidgetItem *room = Node("会议室");
    const QString long_name(130, QLatin1Char('x')); // above the library's 127 bytes
    struct Case {
        QString typed;
        bool confirm;
        QStringList prompts;
    };
    const Case refused[] = {
        {QString(), true, {QStringLiteral("数据项名称不能为空，请重新输入!")}},
        {QStringLiteral("会议室"), true, {}},
        {QStringLiteral("培训室"), true, {QStringLiteral("该分组已存在")}},
        {QStringLiteral("所有设备"), true, {QStringLiteral("该分组已存在")}},
        {QStringLiteral("大厅"), false, {QStringLiteral("修改信息为\"大厅\",确定吗?")}},
        {long_name, true, {QStringLiteral("修改信息为\"%1\",确定吗?").arg(long_name)}},
    };
    for (const Case &c : refused) {
        prompts_.Clear();
        if (!c.confirm) prompts_.Answer(false);
        ASSERT_TRUE(tree_->BeginLabelEdit(room));
        EXPECT_FALSE(tree_->EndLabelEdit(room, c.typed)) << c.typed.toStdString();
        EXPECT_EQ(prompts_.Texts(), c.prompts) << c.typed.toStdString();
        EXPECT_EQ(room->text(0), QStringLiteral("会议室"));
        EXPECT_EQ(LibraryGroups().at(1), Gbk("会议室"));
    }

    prompts_.Clear();
    TreeMenu(room, "重命名分组"); // opens the label editor on the node
    QLineEdit *editor = LabelEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("会议室"));
    EXPECT_EQ(editor->maxLength(), GroupTree::kLabelLimit);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("zz"));
    QTest::keyClick(editor, Qt::Key_Escape); // undoes the typing, goes on editing
    EXPECT_EQ(editor->text(), QStringLiteral("会议室"));
    editor->setText(QStringLiteral("大厅"));
    QTest::keyClick(editor, Qt::Key_Return); // the tree takes the text once the key is handled
    ASSERT_TRUE(WaitFor([&] { return !prompts_.Texts().isEmpty(); }, 10));
    EXPECT_EQ(prompts_.Texts(), QStringList{QStringLiteral("修改信息为\"大厅\",确定吗?")});
    EXPECT_EQ(room->text(0), QStringLiteral("大厅"));
    EXPECT_EQ(LibraryGroups(), (QList<QByteArray>{GroupTree::DefaultGroupName(), Gbk("大厅"), Gbk("培训室")}));
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Group), Gbk("大厅"));
    EXPECT_TRUE(window_->isVisible()); // neither Escape nor Enter closed the main window
    EXPECT_EQ(tree_->FindGroup(Gbk("大厅")), room);
}

TEST_F(GroupTreeTest, RootAndDefaultGroupKeepTheirNames) {
    StartWithGroups();
    TreeMenu(Node("默认分组"), "重命名分组");
    EXPECT_EQ(LabelEditor(), nullptr);
    for (QTreeWidgetItem *fixed : {tree_->Root(), Node("默认分组")}) {
        ASSERT_TRUE(tree_->BeginLabelEdit(fixed)); // a click on the selected label starts editing
        EXPECT_FALSE(tree_->EndLabelEdit(fixed, QStringLiteral("大厅")));
    }
    EXPECT_TRUE(prompts_.Texts().isEmpty());
    EXPECT_EQ(LibraryGroups().size(), 3);
}

// A right click on one node while another's label is edited must not make
// the new name land on the right-clicked group.
TEST_F(GroupTreeTest, RenameChangesTheEditedGroupEvenAfterARightClickOnAnother) {
    StartWithGroups();
    QTreeWidgetItem *room = Node("会议室"), *training = Node("培训室");
    ASSERT_TRUE(tree_->BeginLabelEdit(room));
    ASSERT_NE(tree_->ContextMenu(training), nullptr);
    EXPECT_TRUE(tree_->EndLabelEdit(room, QStringLiteral("大厅")));
    EXPECT_EQ(room->text(0), QStringLiteral("大厅"));
    EXPECT_EQ(training->text(0), QStringLiteral("培训室"));
    EXPECT_EQ(LibraryGroups(), (QList<QByteArray>{GroupTree::DefaultGroupName(), Gbk("大厅"), Gbk("培训室")}));
    EXPECT_EQ(tree_->RightClickedNode(), nullptr);
}

TEST_F(GroupTreeTest, MoveToGroupMovesTheSelectedRowsAndRefillsTheList) {
    StartWithGroups();
    std::unique_ptr<QMenu> menu = window_->ListMenu(RowOf(2));
    ASSERT_NE(menu, nullptr);
    QMenu *groups = menu->actions().at(3)->menu();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(EntryTexts(*groups),
              (QStringList{QStringLiteral("默认分组"), QStringLiteral("会议室"), QStringLiteral("培训室")}));

    QItemSelectionModel *selection = window_->DeviceListView()->selectionModel();
    for (int device : {0, 2})
        selection->select(window_->DeviceList().index(RowOf(device), 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    groups->actions().at(2)->trigger();
    for (int device : {0, 2}) EXPECT_EQ(FieldBytes(Library(Mac(device)).Device_Group), Gbk("培训室"));
    EXPECT_EQ(Cell(0, Column::kGroupColumn), QStringLiteral("培训室"));
    EXPECT_EQ(Cell(1, Column::kGroupColumn), QStringLiteral("会议室"));
    EXPECT_EQ(window_->DeviceList().rowCount(), 4);

    tree_->setCurrentItem(Node("培训室"));
    selection->select(window_->DeviceList().index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window_->ListMenu(0)->actions().at(3)->menu()->actions().at(0)->trigger(); // to "默认分组"
    EXPECT_EQ(window_->DeviceList().rowCount(), 1); // the moved device left the shown group
    EXPECT_EQ(RowsBox(), QStringLiteral("1"));
}

TEST_F(GroupTreeTest, AliasEditorSavesOnEnterAndOnFocusLossAndTheCellKeepsItsText) {
    StartWithGroups();
    DoubleClick(0, Column::kAliasColumn);
    QLineEdit *alias = window_->Editors().AliasEditor();
    ASSERT_NE(alias, nullptr);
    EXPECT_TRUE(alias->hasFocus());
    EXPECT_EQ(alias->cursorPosition(), alias->text().size());
    alias->setText(QStringLiteral("投影仪"));
    QTest::keyClick(alias, Qt::Key_Return);
    EXPECT_EQ(window_->Editors().AliasEditor(), nullptr);
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Alias), Gbk("投影仪"));
    EXPECT_EQ(Cell(0, Column::kAliasColumn), QStringLiteral("投影仪"));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_NE(cwd_.Read("DevsInfo.ini").find(Gbk("投影仪").toStdString()), std::string::npos);

    // The library keeps 127 bytes of a longer alias; the cell shows it whole.
    DoubleClick(1, Column::kAliasColumn);
    alias = window_->Editors().AliasEditor();
    ASSERT_NE(alias, nullptr);
    const QString long_alias = QString(100, QChar(0x6295)); // 200 bytes of "投"
    alias->setText(long_alias);
    tree_->setFocus(); // the editor loses the focus
    EXPECT_TRUE(WaitFor([&] { return window_->Editors().AliasEditor() == nullptr; }, 10));
    EXPECT_EQ(FieldBytes(Library(Mac(1)).Device_Alias), ToCp936(QString(63, QChar(0x6295))));
    EXPECT_EQ(Cell(1, Column::kAliasColumn), long_alias);
}

// Sorting while an editor is open moves the rows under it: the text still
// goes to the device whose cell was double-clicked.
TEST_F(GroupTreeTest, AnEditorKeepsItsDeviceWhenTheRowsAreSortedMeanwhile) {
    StartWithGroups();
    DoubleClick(0, Column::kAliasColumn);
    ASSERT_NE(window_->Editors().AliasEditor(), nullptr);
    window_->Editors().AliasEditor()->setText(QStringLiteral("甲"));
    const int before = RowOf(0);
    window_->OnHeaderClicked(Column::kMacColumn);
    window_->OnHeaderClicked(Column::kMacColumn); // descending: the first device is last now
    ASSERT_NE(RowOf(0), before);
    window_->Editors().CommitAll();
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Alias), Gbk("甲"));
    EXPECT_EQ(Cell(0, Column::kAliasColumn), QStringLiteral("甲"));
    for (int other : {1, 2, 3}) {
        EXPECT_EQ(FieldBytes(Library(Mac(other)).Device_Alias), QByteArray()) << other;
        EXPECT_EQ(Cell(other, Column::kAliasColumn), QString()) << other;
    }
}

TEST_F(GroupTreeTest, GroupEditorMovesTheDeviceOnlyToAGroupOfTheLibrary) {
    StartWithGroups();
    tree_->setCurrentItem(Node("会议室"));
    ASSERT_EQ(window_->DeviceList().rowCount(), 2);
    DoubleClick(0, Column::kGroupColumn);
    QComboBox *group = window_->Editors().GroupEditor();
    ASSERT_NE(group, nullptr);
    QStringList entries;
    for (int i = 0; i < group->count(); ++i) entries << group->itemText(i);
    EXPECT_EQ(entries, (QStringList{QStringLiteral("默认分组"), QStringLiteral("会议室"), QStringLiteral("培训室")}));
    EXPECT_EQ(group->currentText(), QStringLiteral("会议室"));

    // A name that is no group: the device stays, the cell shows the name.
    group->setEditText(QStringLiteral("不存在"));
    window_->Editors().CommitAll();
    EXPECT_EQ(window_->Editors().GroupEditor(), nullptr);
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Group), Gbk("会议室"));
    EXPECT_EQ(Cell(0, Column::kGroupColumn), QStringLiteral("不存在"));
    EXPECT_EQ(window_->DeviceList().rowCount(), 2);

    // To another group while a group is shown: the row leaves the list.
    DoubleClick(0, Column::kGroupColumn);
    group = window_->Editors().GroupEditor();
    ASSERT_NE(group, nullptr);
    group->setEditText(QStringLiteral("培训室"));
    QTest::keyClick(group->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Group), Gbk("培训室"));
    EXPECT_EQ(RowOf(0), -1);
    EXPECT_EQ(window_->DeviceList().rowCount(), 1);
    EXPECT_EQ(RowsBox(), QStringLiteral("1"));

    // With the root shown the row stays and tells the new group.
    tree_->setCurrentItem(tree_->Root());
    DoubleClick(1, Column::kGroupColumn);
    group = window_->Editors().GroupEditor();
    ASSERT_NE(group, nullptr);
    group->setEditText(QStringLiteral("默认分组"));
    window_->Editors().CommitAll();
    EXPECT_EQ(FieldBytes(Library(Mac(1)).Device_Group), GroupTree::DefaultGroupName());
    EXPECT_EQ(Cell(1, Column::kGroupColumn), QStringLiteral("默认分组"));
    EXPECT_EQ(window_->DeviceList().rowCount(), 4);
}

// The first click of a double click elsewhere takes the focus from the open
// editor, which commits it; the double click then opens the other editor.
TEST_F(GroupTreeTest, AtMostOneEditorIsOpenAndAClickElsewhereCommitsTheOpenOne) {
    StartWithGroups();
    DoubleClick(0, Column::kAliasColumn);
    ASSERT_NE(window_->Editors().AliasEditor(), nullptr);
    window_->Editors().AliasEditor()->setText(QStringLiteral("甲"));
    DoubleClick(1, Column::kGroupColumn); // closes the alias editor, opens the group editor
    EXPECT_EQ(window_->Editors().AliasEditor(), nullptr);
    ASSERT_NE(window_->Editors().GroupEditor(), nullptr);
    EXPECT_EQ(Cell(0, Column::kAliasColumn), QStringLiteral("甲"));

    QComboBox *group = window_->Editors().GroupEditor();
    group->hidePopup(); // the operator picked an entry: the focus is back in the box
    group->setEditText(QStringLiteral("培训室"));
    ASSERT_TRUE(group->hasFocus());
    DoubleClick(1, Column::kMacColumn);
    EXPECT_EQ(window_->Editors().GroupEditor(), nullptr);
    EXPECT_EQ(Cell(1, Column::kGroupColumn), QStringLiteral("培训室"));
    EXPECT_EQ(FieldBytes(Library(Mac(1)).Device_Group), Gbk("培训室"));
    EXPECT_EQ(FieldBytes(Library(Mac(0)).Device_Alias), Gbk("甲"));

    // Closing an editor that does not hold the focus writes the cell only.
    DoubleClick(2, Column::kAliasColumn);
    ASSERT_NE(window_->Editors().AliasEditor(), nullptr);
    window_->Editors().AliasEditor()->setText(QStringLiteral("乙"));
    window_->Editors().OnDoubleClick({});
    EXPECT_EQ(window_->Editors().AliasEditor(), nullptr);
    EXPECT_EQ(Cell(2, Column::kAliasColumn), QStringLiteral("乙"));
    EXPECT_EQ(FieldBytes(Library(Mac(2)).Device_Alias), QByteArray());
}

TEST_F(GroupTreeTest, AnOrdinaryUserArrangesNothing) {
    StartWithGroups(/*ordinary_user=*/true);
    EXPECT_EQ(tree_->ContextMenu(Node("会议室")), nullptr);
    EXPECT_FALSE(tree_->BeginLabelEdit(Node("会议室")));
    EXPECT_FALSE(tree_->EndLabelEdit(Node("会议室"), QStringLiteral("大厅")));
    DoubleClick(0, Column::kAliasColumn);
    DoubleClick(0, Column::kGroupColumn);
    EXPECT_EQ(window_->Editors().AliasEditor(), nullptr);
    EXPECT_EQ(window_->Editors().GroupEditor(), nullptr);
    EXPECT_EQ(LibraryGroups().at(1), Gbk("会议室"));
}

} // namespace
} // namespace talvo::testing
