#include "app/login_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/qm_dlg.h"
#include "common/cp936.h"
#include "common/prompt.h"
#include "res/state_icons.h"

namespace talvo {

CLoginDlg::CLoginDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Login"));
    setWindowIcon(ProgramIcon());
    user_ = new QLineEdit(this);
    user_->setMaxLength(kUserNameLimit);
    password_ = new QLineEdit(this);
    password_->setMaxLength(kPasswordLimit);
    password_->setEchoMode(QLineEdit::Password);
    login_ = new QPushButton(QStringLiteral("登录"), this);
    login_->setDefault(true);
    reset_ = new QPushButton(QStringLiteral("重置"), this);
    reset_->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("用户名"), this), 0, 0);
    grid->addWidget(user_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("密  码"), this), 1, 0);
    grid->addWidget(password_, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(login_);
    buttons->addWidget(reset_);
    buttons->addStretch(1);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 200);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(login_, &QPushButton::clicked, this, &CLoginDlg::OnLogin);
    connect(reset_, &QPushButton::clicked, this, &CLoginDlg::OnReset);
    user_->setFocus();
}

// One message covers empty fields, an unknown user, a wrong password and any
// library error, so the window never tells which of the two was wrong.
void CLoginDlg::OnLogin() {
    const QString user = user_->text();
    const QString password = password_->text();
    if (user.isEmpty() || password.isEmpty() ||
        ZR_QM_Login(ToCp936(user).constData(), ToCp936(password).constData()) < 0) {
        Notice(this, QStringLiteral("用户或密码错误！"));
        password_->clear();
        return;
    }
    RunMainWindow();
    password_->clear(); // the next operator starts with the name and no password
}

void CLoginDlg::RunMainWindow() {
    hide();
    {
        CQMDlg main_window(this);
        main_window.exec();
    }
    // The main window's exit ends this window's run too; then it stays hidden.
    if (!ended_) show();
}

void CLoginDlg::OnReset() {
    user_->clear();
    password_->clear();
}

void CLoginDlg::done(int result) {
    ended_ = true;
    QDialog::done(result);
}

} // namespace talvo
