#include "app/user_pwd_modify_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qm_dlg.h"
#include "app/user_administration_dlg.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "UserPwdModifyDlg";
constexpr NewPasswordRule kRule = {8, 16, "密码不能为空！", "密码长度为8~16位！", "密码不一致！"};

} // namespace

CUserPwdModifyDlg::CUserPwdModifyDlg(QWidget *parent, CQMDlg *main) : QDialog(parent), main_(main) {
    setWindowTitle(QStringLiteral("更改密码"));
    name_ = ShownBox(this, "name");
    type_ = ShownBox(this, "type");
    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称："), name_);
    form->addRow(QStringLiteral("用户类型："), type_);
    passwords_ = AddPasswordRows(this, form, kPasswordLimit);
    column->addLayout(form);
    connect(AddFormButtons(this, column, "更改密码"), &QPushButton::clicked, this, &CUserPwdModifyDlg::accept);
    ShowOperator();
}

void CUserPwdModifyDlg::ShowOperator() {
    char name[32] = "NoUser";
    const int named = ZR_QM_GetCurUserName(name);
    if (named != 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetCurUserName failed, error id :0x%x.\n", static_cast<unsigned>(named));
        qstrncpy(name, "NoUser", sizeof name);
    }
    const int type = ZR_QM_GetCurUserType();
    if (type < 0) {
        TALVO_LOG("[%s]:[%d]ZR_QM_GetCurUserType failed, error id :0x%x.\n", static_cast<unsigned>(type));
        return;
    }
    name_->setText(FromCp936(FieldBytes(name)));
    type_->setText(UserTypeName(type));
}

void CUserPwdModifyDlg::accept() {
    QString refusal = passwords_.Refusal(kRule);
    if (refusal.isEmpty()) {
        const int result = ZR_QM_ModifyUserPwd(BoxBytes(name_).constData(), BoxBytes(passwords_.current).constData(),
                                               BoxBytes(passwords_.fresh).constData());
        if (result == 0) {
            QDialog::accept();
            if (auto *administration = qobject_cast<CUserAdministrationDlg *>(parentWidget()))
                administration->accept();
            main_->LogOut(); // the login window asks for the new password
            return;
        }
        if (result != ZR_QM_ERR_PASSWORD)
            TALVO_LOG("[%s]:[%d]ZR_QM_ModifyUserPwd failed, error id :0x%x.\n", static_cast<unsigned>(result));
        refusal = QStringLiteral("修改密码失败！");
    }
    Notice(this, refusal);
    passwords_.Clear();
}

} // namespace talvo
