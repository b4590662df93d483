#include "app/user_account_add_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/user_administration_dlg.h"
#include "app/user_form.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr NewPasswordRule kRule = {8, 16, "用户名称或用户密码为空！", "密码长度为8~16位！", "密码不一致！"};

} // namespace

CUserAccountAddDlg::CUserAccountAddDlg(CUserAdministrationDlg *owner) : QDialog(owner), owner_(owner) {
    setWindowTitle(QStringLiteral("添加用户"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));
    name_->setMaxLength(kNameLimit);
    type_ = new QComboBox(this);
    type_->addItems({UserTypeName(ZR_QM_USER_ADMIN), UserTypeName(ZR_QM_USER_ORDINARY)});
    type_->setCurrentIndex(0);
    password_ = PasswordBox(this, kPasswordLimit, "password");
    confirmation_ = PasswordBox(this, kPasswordLimit, "confirmation");
    KeepAsciiLettersAndDigits(name_);
    KeepAsciiLettersAndDigits(password_);

    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称："), name_);
    form->addRow(QStringLiteral("用户类型："), type_);
    form->addRow(QStringLiteral("用户密码："), password_);
    form->addRow(QStringLiteral("确认密码："), confirmation_);
    column->addLayout(form);
    connect(AddFormButtons(this, column, "添加用户"), &QPushButton::clicked, this, &CUserAccountAddDlg::accept);
}

void CUserAccountAddDlg::accept() {
    const bool any_empty = name_->text().isEmpty() || password_->text().isEmpty() || confirmation_->text().isEmpty();
    const QString refusal = RefusalOf(kRule, any_empty, password_->text(), confirmation_->text());
    if (!refusal.isEmpty()) {
        Notice(this, refusal);
        password_->clear();
        confirmation_->clear();
        return;
    }
    // The library does not say why it refused an account.
    if (owner_->AddAccount(BoxBytes(name_), BoxBytes(password_), type_->currentText()) != 0) {
        Notice(this, QStringLiteral("用户已经存在！"));
        return;
    }
    QDialog::accept();
}

} // namespace talvo
