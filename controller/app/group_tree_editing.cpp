// Arranging groups in the tree: the context menu, adding, deleting, and
// renaming through the node's label editor.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyledItemDelegate>

#include "app/group_tree.h"
#include "app/operator_rights.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";

// The label editor of the tree's nodes. Editing begins and ends through the
// tree's checks; the tree sets the node's name itself when it takes the text.
// Escape undoes the typing and goes on editing, so that it never reaches the
// main window, whose Escape would close it.
class GroupLabelDelegate : public QStyledItemDelegate {
public:
    explicit GroupLabelDelegate(GroupTree *tree) : QStyledItemDelegate(tree), tree_(tree) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        if (!tree_->BeginLabelEdit(tree_->itemFromIndex(index))) return nullptr;
        auto *editor = new QLineEdit(parent);
        editor->setMaxLength(GroupTree::kLabelLimit);
        editor->setFont(option.font);
        editor->setFrame(false);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        auto *line = static_cast<QLineEdit *>(editor);
        line->setText(index.data(Qt::DisplayRole).toString());
        line->setProperty(kStartText, line->text());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override {
        tree_->EndLabelEdit(tree_->itemFromIndex(index), static_cast<QLineEdit *>(editor)->text());
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            if (auto *line = qobject_cast<QLineEdit *>(object)) line->setText(line->property(kStartText).toString());
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static constexpr const char *kStartText = "talvo_start_text";
    GroupTree *tree_;
};

} // namespace

void GroupTree::InstallLabelEditor() { setItemDelegate(new GroupLabelDelegate(this)); }

std::unique_ptr<QMenu> GroupTree::ContextMenu(QTreeWidgetItem *node) {
    if (!MayArrangeDevices()) return nullptr;
    right_clicked_ = node != nullptr ? node : SelectedNode();
    if (right_clicked_ == nullptr) return nullptr;
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction(QStringLiteral("添加分组")), &QAction::triggered, this, &GroupTree::OnAddGroup);
    connect(menu->addAction(QStringLiteral("删除分组")), &QAction::triggered, this, &GroupTree::OnDeleteGroup);
    connect(menu->addAction(QStringLiteral("重命名分组")), &QAction::triggered, this, &GroupTree::OnRenameGroup);
    return menu;
}

void GroupTree::OnContextMenuRequested(const QPoint &position) {
    if (std::unique_ptr<QMenu> menu = ContextMenu(itemAt(position))) menu->exec(viewport()->mapToGlobal(position));
}

bool GroupTree::IsFixedNode(const QTreeWidgetItem *node) const {
    return IsRoot(node) || GroupName(node) == DefaultGroupName();
}

// The first free name of "新建分组0" to "新建分组31" becomes a group, and its
// new node is selected.
void GroupTree::OnAddGroup() {
    for (int i = 0; i < kNewGroupTries; ++i) {
        const QByteArray name = ToCp936(QStringLiteral("新建分组%1").arg(i));
        const int result = ZR_QM_AddDevGroup(name.constData());
        if (result == ZR_QM_ERR_GROUP) continue; // the name is taken
        if (result != 0) {
            TALVO_LOG("[%s]:[%d]ZR_QM_AddDevGroup failed.\n");
            continue;
        }
        setCurrentItem(AddGroupNode(name));
        return;
    }
}

// Deletes the right-clicked group after a question; the library moves its
// devices to "默认分组", which is selected afterwards.
void GroupTree::OnDeleteGroup() {
    QTreeWidgetItem *node = right_clicked_;
    if (node == nullptr) return;
    if (IsFixedNode(node)) {
        PlainNotice(this, QStringLiteral("该项不能删除！"));
        return;
    }
    if (!ConfirmOkCancel(this, QStringLiteral("删除\"%1\"分组,确定吗?").arg(node->text(0)))) return;
    if (ZR_QM_DelDevGroup(GroupName(node).constData()) != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_DelDevGroup failed.\n");
        PlainNotice(this, QStringLiteral("删除失败！"));
        return;
    }
    right_clicked_ = nullptr;
    delete node;
    QTreeWidgetItem *fallback = FindGroup(DefaultGroupName());
    if (fallback == nullptr) return;
    // "默认分组" shown already: selecting it again changes nothing, yet it has
    // just received the deleted group's devices, so the list is filled anew.
    if (fallback == SelectedNode())
        emit itemSelectionChanged();
    else
        setCurrentItem(fallback);
}

void GroupTree::OnRenameGroup() {
    if (right_clicked_ != nullptr && !IsFixedNode(right_clicked_)) editItem(right_clicked_);
}

bool GroupTree::BeginLabelEdit(QTreeWidgetItem *node) {
    if (node == nullptr || !MayArrangeDevices()) return false;
    old_name_ = IsRoot(node) ? ToCp936(node->text(0)) : GroupName(node);
    return true;
}

// The edited node is the one whose label editor is open. A right click on
// another node earlier must not make the rename land there: the library would
// rename that group while this label showed the new name.
bool GroupTree::EndLabelEdit(QTreeWidgetItem *node, const QString &text) {
    right_clicked_ = nullptr;
    if (node == nullptr || !MayArrangeDevices()) return false;
    if (IsRoot(node) || old_name_ == DefaultGroupName()) return false;
    if (text.isEmpty()) {
        PlainNotice(this, QStringLiteral("数据项名称不能为空，请重新输入!"));
        return false;
    }
    const QByteArray name = ToCp936(text);
    if (name == old_name_) return false;
    if (AnyNodeNamed(text)) {
        PlainNotice(this, QStringLiteral("该分组已存在"));
        return false;
    }
    if (!ConfirmOkCancel(this, QStringLiteral("修改信息为\"%1\",确定吗?").arg(text))) return false;
    // The library refuses a name too long for its slots before it changes
    // anything; the node keeps its old name then.
    if (ZR_QM_ChangeGroupName(old_name_.constData(), name.constData()) != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_ChangeGroupName failed.\n");
        return false;
    }
    SetGroupName(node, name);
    return true;
}

// Every node counts, the root included.
bool GroupTree::AnyNodeNamed(const QString &text) const {
    return !findItems(text, Qt::MatchFixedString | Qt::MatchCaseSensitive | Qt::MatchRecursive).isEmpty();
}

} // namespace talvo
