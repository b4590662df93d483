// The in-place editors of the main window's device list: a double click on a
// "主机名称" cell opens an edit box for the device's alias, one on a
// "分组名称" cell an editable drop-down of the groups. An editor commits when
// it loses the focus or on Enter; closing one always leaves its text in the
// cell, whatever the library said. At most one of the two is open.
#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>

class QTableView;
class QWidget;

namespace talvo {

class DeviceListModel;
class GroupTree;

class RowEditors : public QObject {
    Q_OBJECT

public:
    RowEditors(QTableView *list, DeviceListModel *model, GroupTree *tree);
    ~RowEditors() override;

    // A double click on `index` (invalid: not on a row); nothing for an
    // ordinary user.
    void OnDoubleClick(const QModelIndex &index);
    // Enter in the main window: both editors commit, the alias first.
    void CommitAll();

    void OnAliasFocusLost();
    void OnGroupFocusLost();
    void CloseAlias();
    void CloseGroup();

    QLineEdit *AliasEditor() const { return alias_.editor; }
    QComboBox *GroupEditor() const { return group_.editor; }

signals:
    // A row left the list: the device moved out of the shown group.
    void RowRemoved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One open editor: the widget, the cell it covers and the device it edits
    // (kept from the opening, so that a refill of the list in between cannot
    // send the text to another device).
    template <class Editor>
    struct OpenEditor {
        QPointer<Editor> editor;
        QPersistentModelIndex cell;
        QByteArray mac;
    };

    void OpenAlias(const QModelIndex &index);
    void OpenGroup(const QModelIndex &index);
    void Place(QWidget *editor, const QModelIndex &index);
    void Watch(QWidget *widget);
    template <class Editor>
    bool IsOpenOn(const OpenEditor<Editor> &open, const QModelIndex &index) const;
    // Writes the editor's text into its cell and destroys it.
    void Close(QWidget *editor, const QPersistentModelIndex &cell, const QString &text);

    QTableView *list_;
    DeviceListModel *model_;
    GroupTree *tree_;
    OpenEditor<QLineEdit> alias_;
    OpenEditor<QComboBox> group_;
};

} // namespace talvo
