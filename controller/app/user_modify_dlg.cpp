#include "app/user_modify_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QVBoxLayout>

#include "app/user_administration_dlg.h"
#include "app/user_form.h"
#include "common/cp936.h"
#include "common/log.h"
#include "common/prompt.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "UserModifyDlg";

} // namespace

CUserModifyDlg::CUserModifyDlg(CUserAdministrationDlg *owner) : QDialog(owner), owner_(owner) {
    setWindowTitle(QStringLiteral("用户修改"));
    name_ = ShownBox(this, "name");
    type_ = new QComboBox(this);
    type_->addItems({UserTypeName(ZR_QM_USER_ADMIN), UserTypeName(ZR_QM_USER_ORDINARY)});

    const QTreeWidgetItem *row = owner->SelectedRow();
    name_bytes_ = CUserAdministrationDlg::NameOf(row);
    name_->setText(FromCp936(name_bytes_));
    const int entry = row ? type_->findText(row->text(CUserAdministrationDlg::kTypeColumn)) : -1;
    if (entry < 0) TALVO_LOG("[%s]:[%d]GetUserTypeByStr failed.\n");
    type_->setCurrentIndex(entry < 0 ? 0 : entry);

    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称："), name_);
    form->addRow(QStringLiteral("用户类型："), type_);
    column->addLayout(form);
    connect(AddFormButtons(this, column, "修改"), &QPushButton::clicked, this, &CUserModifyDlg::accept);
}

void CUserModifyDlg::accept() {
    if (owner_->ChangeType(name_bytes_, type_->currentText()) != 0) {
        Notice(this, QStringLiteral("修改用户失败！"));
        return;
    }
    QDialog::accept();
}

} // namespace talvo
