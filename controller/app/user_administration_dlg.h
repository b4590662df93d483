// "用户管理": every operator account of the library, for the super
// administrator. Adds accounts, deletes them, changes their type, and opens
// the change of the device communication password. The add and modify
// windows it opens call AddAccount and ChangeType.
#pragma once

#include <QByteArray>
#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace talvo {

class CQMDlg;

class CUserAdministrationDlg : public QDialog {
    Q_OBJECT

public:
    enum Column { kNameColumn = 0, kTypeColumn, kPasswordColumn, kColumnCount };

    // `main` is the main window, which the change of the operator's own
    // password logs out.
    CUserAdministrationDlg(QWidget *parent, CQMDlg *main);

    QTreeWidget *AccountList() const { return list_; }
    // The library's name of an account row (code page 936).
    static QByteArray NameOf(const QTreeWidgetItem *row);
    // The first selected row, nullptr when none is.
    QTreeWidgetItem *SelectedRow() const;

    // Adds an account of the type named `type_text`; 0 on success, non-zero
    // when the type is unknown or the library refuses.
    int AddAccount(const QByteArray &name, const QByteArray &password, const QString &type_text);
    // Gives the account `name` the type named `type_text`; 0 on success.
    int ChangeType(const QByteArray &name, const QString &type_text);

public slots:
    void OnAddUser();        // "添加用户"
    void OnDeleteUser();     // "删除用户"
    void OnModifyUser();     // "修改用户"
    void OnDevicePassword(); // "修改通讯密码"

private:
    void BuildLayout();
    void FillList();
    void AppendRow(const QByteArray &name, int type);

    CQMDlg *main_;
    QTreeWidget *list_ = nullptr;
};

} // namespace talvo
