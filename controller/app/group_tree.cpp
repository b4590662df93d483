#include "app/group_tree.h"

#include <QMouseEvent>
#include <QPalette>

#include <cstdlib>

#include "common/cp936.h"
#include "common/log.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "QMDlg";
constexpr int kGroupNameRole = Qt::UserRole;
constexpr Qt::ItemFlags kNodeFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;

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
    setEditTriggers(QAbstractItemView::SelectedClicked); // a click on the selected label
    setContextMenuPolicy(Qt::CustomContextMenu);
    InstallLabelEditor();
    connect(this, &QTreeWidget::customContextMenuRequested, this, &GroupTree::OnContextMenuRequested);
}

const QByteArray &GroupTree::DefaultGroupName() {
    static const QByteArray name = ToCp936(QStringLiteral("默认分组"));
    return name;
}

void GroupTree::Build() {
    clear();
    right_clicked_ = nullptr;
    auto *root = new QTreeWidgetItem(this, QStringList(QStringLiteral("所有设备")));
    root->setFlags(kNodeFlags);
    QList<QByteArray> groups;
    if (!ReadGroupList(groups)) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetGroupList failed.\n");
        return;
    }
    if (!groups.contains(DefaultGroupName()) &&
        ZR_QM_AddDevGroup(DefaultGroupName().constData()) != 0)
        TALVO_LOG("[%s]:[%d]ZR_QM_AddDevGroup failed.\n");
    AddGroupNode(DefaultGroupName());
    for (const QByteArray &name : groups)
        if (name != DefaultGroupName()) AddGroupNode(name);
    root->setExpanded(true);
    setCurrentItem(root);
}

bool GroupTree::ReadGroupList(QList<QByteArray> &names) {
    names.clear();
    ZR_QM_GroupName *list = nullptr;
    const int count = ZR_QM_GetGroupList(&list);
    if (count < 0) return false;
    for (int i = 0; i < count; ++i) names.append(FieldBytes(list[i]));
    if (count > 0) std::free(list);
    return true;
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
    auto *node = new QTreeWidgetItem(Root());
    node->setFlags(kNodeFlags);
    SetGroupName(node, name);
    return node;
}

void GroupTree::SetGroupName(QTreeWidgetItem *node, const QByteArray &name) {
    node->setText(0, FromCp936(name));
    node->setData(0, kGroupNameRole, name);
}

// A right click leaves the selection alone: the menu works on the node
// under the cursor.
void GroupTree::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

QTreeWidgetItem *GroupTree::FindGroup(const QByteArray &name) const {
    QTreeWidgetItem *root = Root();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (GroupName(root->child(i)) == name) return root->child(i);
    return nullptr;
}

} // namespace talvo
