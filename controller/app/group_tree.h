// The group tree beside the device list: the root "所有设备" for all managed
// devices and one node per group of the library, "默认分组" first. Each group
// node keeps the group's name as the library's code page 936 bytes.
//
// Operators other than ordinary users arrange the groups here: the context
// menu adds, deletes and renames them, and a label edit renames a group once
// its checks and the operator's confirmation pass.
#pragma once

#include <QByteArray>
#include <QTreeWidget>

#include <memory>

class QMenu;

namespace talvo {

class GroupTree : public QTreeWidget {
    Q_OBJECT

public:
    // The label editor takes at most this many characters.
    static constexpr int kLabelLimit = 1024;
    // New groups are named "新建分组0" to "新建分组31".
    static constexpr int kNewGroupTries = 32;

    explicit GroupTree(QWidget *parent = nullptr);

    // Fills the tree from the library's group list, creating "默认分组" there
    // when it is missing, and selects the root. When the list cannot be read
    // the tree holds only the root and nothing is selected.
    void Build();

    QTreeWidgetItem *Root() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }
    bool IsRoot(const QTreeWidgetItem *node) const { return node != nullptr && node == Root(); }
    QTreeWidgetItem *SelectedNode() const;
    // The library's name of a group node (empty for the root).
    static QByteArray GroupName(const QTreeWidgetItem *node);

    QTreeWidgetItem *AddGroupNode(const QByteArray &name);
    // The first node below the root whose group name is `name`, or nullptr.
    QTreeWidgetItem *FindGroup(const QByteArray &name) const;

    // "默认分组" in the library's bytes.
    static const QByteArray &DefaultGroupName();
    // The library's group names in its order; false when it cannot give them.
    static bool ReadGroupList(QList<QByteArray> &names);

    // ---- Arranging groups ----
    // The context menu for a right click on `node` (nullptr: not on a node,
    // the selected node counts); none for an ordinary user or when there is
    // no node at all. The node becomes the right-clicked node.
    std::unique_ptr<QMenu> ContextMenu(QTreeWidgetItem *node);
    QTreeWidgetItem *RightClickedNode() const { return right_clicked_; }

    // Called by the label editor: whether editing `node` may begin (it then
    // remembers the old name), and whether the edited text is taken.
    bool BeginLabelEdit(QTreeWidgetItem *node);
    bool EndLabelEdit(QTreeWidgetItem *node, const QString &text);

public slots:
    void OnAddGroup();    // "添加分组"
    void OnDeleteGroup(); // "删除分组"
    void OnRenameGroup(); // "重命名分组"

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void InstallLabelEditor();
    void OnContextMenuRequested(const QPoint &position);
    bool IsFixedNode(const QTreeWidgetItem *node) const;
    bool AnyNodeNamed(const QString &text) const;
    void SetGroupName(QTreeWidgetItem *node, const QByteArray &name);

    QTreeWidgetItem *right_clicked_ = nullptr;
    QByteArray old_name_;
};

} // namespace talvo
