#include "app/modify_dev_operate_pwd_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/busy_cursor.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kDeviceUser[] = "TALVO";
constexpr NewPasswordRule kRule = {5, 16, "密码不能为空！", "密码长度为5~16位！", "两次密码不一致！"};

} // namespace

CModifyDevOperatePwdDlg::CModifyDevOperatePwdDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("修改设备通讯密码"));
    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    passwords_ = AddPasswordRows(this, form, kPasswordLimit);
    column->addLayout(form);
    connect(AddFormButtons(this, column, "更改密码"), &QPushButton::clicked, this,
            &CModifyDevOperatePwdDlg::accept);
}

void CModifyDevOperatePwdDlg::accept() {
    QString refusal = passwords_.Refusal(kRule);
    if (refusal.isEmpty()) {
        int result;
        {
            BusyCursor busy; // the library logs in to every receiver again
            result = ZR_QM_ModifyDevOperatePwd(kDeviceUser, BoxBytes(passwords_.current).constData(),
                                               BoxBytes(passwords_.fresh).constData());
        }
        if (result == 0) {
            Notice(this, QStringLiteral("更改密码成功！"));
            QDialog::accept();
            return;
        }
        refusal = result == ZR_QM_ERR_PASSWORD ? QStringLiteral("当前密码错误！") : QStringLiteral("更改密码失败！");
    }
    Notice(this, refusal);
    passwords_.Clear();
}

} // namespace talvo
