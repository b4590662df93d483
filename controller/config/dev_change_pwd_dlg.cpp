#include "config/dev_change_pwd_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/page_buttons.h"
#include "common/password_form.h"
#include "common/prompt.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevChangePwdDlg";

// Bytes of a new password.
constexpr qsizetype kShortest = 8;
constexpr qsizetype kLongest = 16;

} // namespace

CDevChangePwdDlg::CDevChangePwdDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *save = ActionButton(QStringLiteral("保存"), this);
    connect(save, &QPushButton::clicked, this, &CDevChangePwdDlg::OnSave);
    const std::array<QLineEdit *, 3> boxes = AddPasswordForm(
        this, {QStringLiteral("输入WEB旧密码"), QStringLiteral("输入WEB新密码"), QStringLiteral("确认WEB新密码")},
        kPasswordLimit, save);
    old_ = boxes[0];
    new_ = boxes[1];
    confirmation_ = boxes[2];
}

void CDevChangePwdDlg::OnSave() {
    const QByteArray current = ToCp936(old_->text());
    const QByteArray password = ToCp936(new_->text());
    if (password != ToCp936(confirmation_->text())) {
        Notice(this, QStringLiteral("密码不一致！"));
        return;
    }
    if (password.size() < kShortest || password.size() > kLongest) {
        Notice(this, QStringLiteral("密码为8~16个字符！"));
        return;
    }
    const QByteArray mac = PageDeviceMac(this);
    if (RefuseOfflineDevice(this, mac)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_SetDeviceWebLoginPWD(mac.constData(), current.constData(), password.constData());
    }
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]set device net configure failed, iRet:%d.\n", result);
        Notice(this, QStringLiteral("保存失败！"));
        return;
    }
    Notice(this, QStringLiteral("保存成功！"));
}

} // namespace talvo
