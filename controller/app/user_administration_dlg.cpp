#include "app/user_administration_dlg.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdlib>

#include "app/modify_dev_operate_pwd_dlg.h"
#include "app/user_account_add_dlg.h"
#include "app/user_form.h"
#include "app/user_modify_dlg.h"
#include "app/user_pwd_modify_dlg.h"
#include "common/column_widths.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "UserAdministrationDlg";
constexpr int kNameRole = Qt::UserRole;
constexpr char kSuperAdministrator[] = "admin";

QPushButton *Button(const char *text, QWidget *parent) {
    auto *button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CUserAdministrationDlg::CUserAdministrationDlg(QWidget *parent, CQMDlg *main) : QDialog(parent), main_(main) {
    setWindowTitle(QStringLiteral("用户管理"));
    resize(560, 420);
    BuildLayout();
    FillList();
    list_->setFocus();
}

void CUserAdministrationDlg::BuildLayout() {
    list_ = new QTreeWidget(this);
    list_->setColumnCount(kColumnCount);
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels({QStringLiteral("用户名称"), QStringLiteral("用户类型"), QStringLiteral("用户密码")});
    list_->header()->setSectionsMovable(true);
    list_->header()->setDefaultAlignment(Qt::AlignCenter);
    list_->header()->setStretchLastSection(false);
    const int widths[kColumnCount] = {150, 180, 100};
    for (int column = 0; column < kColumnCount; ++column) list_->setColumnWidth(column, widths[column]);
    SizeColumnsOnFirstShow(*list_, {1.0 / 3, 1.0 / 3}); // the password column takes the rest

    auto *buttons = new QVBoxLayout;
    const std::pair<const char *, void (CUserAdministrationDlg::*)()> actions[] = {
        {"添加用户", &CUserAdministrationDlg::OnAddUser},
        {"删除用户", &CUserAdministrationDlg::OnDeleteUser},
        {"修改用户", &CUserAdministrationDlg::OnModifyUser},
        {"修改通讯密码", &CUserAdministrationDlg::OnDevicePassword},
    };
    for (const auto &[text, action] : actions) {
        QPushButton *button = Button(text, this);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto *grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0);
    grid->addLayout(buttons, 0, 1);
}

void CUserAdministrationDlg::FillList() {
    UserAccount *accounts = nullptr;
    const int count = ZR_QM_GetAllUserAccountInfo(&accounts);
    if (count < 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetAllUserAccountInfo failed, error id :0x%x.\n", static_cast<unsigned>(count));
        return;
    }
    for (int i = 0; i < count; ++i) AppendRow(FieldBytes(accounts[i].User_Name), accounts[i].User_Type);
    if (count > 0) std::free(accounts);
}

// A type outside the table (a store edited by hand) shows as an empty text.
void CUserAdministrationDlg::AppendRow(const QByteArray &name, int type) {
    auto *row = new QTreeWidgetItem(list_, {FromCp936(name), UserTypeName(type), QStringLiteral("******")});
    row->setData(kNameColumn, kNameRole, name);
    for (int column = 0; column < kColumnCount; ++column) row->setTextAlignment(column, Qt::AlignCenter);
}

QByteArray CUserAdministrationDlg::NameOf(const QTreeWidgetItem *row) {
    return row ? row->data(kNameColumn, kNameRole).toByteArray() : QByteArray();
}

QTreeWidgetItem *CUserAdministrationDlg::SelectedRow() const {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->isSelected()) return list_->topLevelItem(i);
    return nullptr;
}

int CUserAdministrationDlg::AddAccount(const QByteArray &name, const QByteArray &password, const QString &type_text) {
    const int type = GetUserTypeByStr(type_text);
    if (type < 0) {
        TALVO_LOG("[%s]:[%d]GetUserTypeByStr failed.\n");
        return -1;
    }
    const int result = ZR_QM_AddUser(name.constData(), password.constData(), type);
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_AddUser failed, error id :0x%x.\n", static_cast<unsigned>(result));
        return result;
    }
    AppendRow(name, type);
    return 0;
}

int CUserAdministrationDlg::ChangeType(const QByteArray &name, const QString &type_text) {
    const int type = GetUserTypeByStr(type_text);
    if (type < 0) {
        TALVO_LOG("[%s]:[%d]GetUserTypeByStr failed.\n");
        return -1;
    }
    const int result = ZR_QM_ModifyUserType(name.constData(), type);
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_ModifyUserType failed, error id :0x%x.\n", static_cast<unsigned>(result));
        return result;
    }
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (NameOf(list_->topLevelItem(i)) == name) list_->topLevelItem(i)->setText(kTypeColumn, UserTypeName(type));
    return 0;
}

void CUserAdministrationDlg::OnAddUser() {
    CUserAccountAddDlg window(this);
    window.exec();
}

// Deletes at once, without a question; the library keeps "admin".
void CUserAdministrationDlg::OnDeleteUser() {
    QTreeWidgetItem *row = SelectedRow();
    const QByteArray name = NameOf(row).left(31);
    const int result = ZR_QM_DelUser(name.constData());
    if (result == ZR_QM_ERR_SUPER_ADMIN) {
        Notice(this, QStringLiteral("超级管理员不能删除！"));
        return;
    }
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_DelUser failed, error id :0x%x.\n", static_cast<unsigned>(result));
        return;
    }
    delete row;
}

void CUserAdministrationDlg::OnModifyUser() {
    QTreeWidgetItem *row = SelectedRow();
    if (row == nullptr) {
        Notice(this, QStringLiteral("没有选中账号"));
        return;
    }
    if (NameOf(row) == kSuperAdministrator) {
        CUserPwdModifyDlg window(this, main_);
        window.exec();
        return;
    }
    CUserModifyDlg window(this);
    window.exec();
}

void CUserAdministrationDlg::OnDevicePassword() {
    CModifyDevOperatePwdDlg window(this);
    window.exec();
}

} // namespace talvo
