#include "app/group_tree.h"

#include <QPalette>

#include <cstdlib>

#include "common/cp936.h"
#include "common/log.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";
constexpr int kGroupNameRole = Qt::UserRole;

} // namespace

GroupTree::GroupTree(QWidget *parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(200, 200, 200));
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
}

const QByteArray &GroupTree::DefaultGroupName() {
    static const QByteArray name = ToCp936(QStringLiteral("默认分组"));
    return name;
}

void GroupTree::Build() {
    clear();
    auto *root = new QTreeWidgetItem(this, QStringList(QStringLiteral("所有设备")));
    ZR_QM_GroupName *names = nullptr;
    int count = ZR_QM_GetGroupList(&names);
    if (count < 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetGroupList failed.\n");
        return;
    }
    QList<QByteArray> groups;
    for (int i = 0; i < count; ++i) groups.append(FieldBytes(names[i]));
    if (count > 0) std::free(names);

    if (!groups.contains(DefaultGroupName()) &&
        ZR_QM_AddDevGroup(DefaultGroupName().constData()) != 0)
        TALVO_LOG("[%s]:[%d]ZR_QM_AddDevGroup failed.\n");
    AddGroupNode(DefaultGroupName());
    for (const QByteArray &name : groups)
        if (name != DefaultGroupName()) AddGroupNode(name);
    root->setExpanded(true);
    setCurrentItem(root);
}

QTreeWidgetItem *GroupTree::SelectedNode() const {
    QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QByteArray GroupTree::GroupName(const QTreeWidgetItem *node) {
    return node ? node->data(0, kGroupNameRole).toByteArray() : QByteArray();
}

QTreeWidgetItem *GroupTree::AddGroupNode(const QByteArray &name) {
    if (Root() == nullptr) return nullptr;
    auto *node = new QTreeWidgetItem(Root(), QStringList(FromCp936(name)));
    node->setData(0, kGroupNameRole, name);
    return node;
}

QTreeWidgetItem *GroupTree::FindGroup(const QByteArray &name) const {
    QTreeWidgetItem *root = Root();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (GroupName(root->child(i)) == name) return root->child(i);
    return nullptr;
}

} // namespace talvo
