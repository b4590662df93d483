// The group tree beside the device list: the root "所有设备" for all managed
// devices and one node per group of the library, "默认分组" first. Each group
// node keeps the group's name as the library's code page 936 bytes.
#pragma once

#include <QByteArray>
#include <QTreeWidget>

namespace talvo {

class GroupTree : public QTreeWidget {
    Q_OBJECT

public:
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
};

} // namespace talvo
