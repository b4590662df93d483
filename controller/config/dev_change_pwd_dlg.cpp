#include "config/dev_change_pwd_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/page_buttons.h"
#include "common/prompt.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevChangePwdDlg";

// Bytes of a new password.
constexpr qsizetype kShortest = 8;
constexpr qsizetype kLongest = 16;

QLineEdit *PasswordBox(QWidget *page) {
    auto *box = new QLineEdit(page);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(CDevChangePwdDlg::kPasswordLimit);
    return box;
}

} // namespace

CDevChangePwdDlg::CDevChangePwdDlg(QWidget *parent)
    : QWidget(parent), old_(PasswordBox(this)), new_(PasswordBox(this)), confirmation_(PasswordBox(this)) {
    QPushButton *save = ActionButton(QStringLiteral("保存"), this);
    connect(save, &QPushButton::clicked, this, &CDevChangePwdDlg::OnSave);

    auto *grid = new QGridLayout(this);
    grid->setRowStretch(0, 1);
    grid->addWidget(new QLabel(QStringLiteral("输入WEB旧密码"), this), 1, 1);
    grid->addWidget(old_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("输入WEB新密码"), this), 2, 1);
    grid->addWidget(new_, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("确认WEB新密码"), this), 3, 1);
    grid->addWidget(confirmation_, 3, 2);
    grid->addLayout(CentredButtons({save, CloseWindowButton(this)}), 4, 1, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnMinimumWidth(2, 200);
    grid->setColumnStretch(3, 1);
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
