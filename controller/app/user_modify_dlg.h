// "用户修改": changes the type of the account selected in the user
// administration window that owns it.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace talvo {

class CUserAdministrationDlg;

class CUserModifyDlg : public QDialog {
    Q_OBJECT

public:
    explicit CUserModifyDlg(CUserAdministrationDlg *owner);

    QComboBox *TypeList() const { return type_; }

public slots:
    void accept() override; // "修改"

private:
    CUserAdministrationDlg *owner_;
    QByteArray name_bytes_;
    QLineEdit *name_ = nullptr;
    QComboBox *type_ = nullptr;
};

} // namespace talvo
