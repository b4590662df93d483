// "添加用户": a new administrator or ordinary user, added through the user
// administration window that owns it.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace talvo {

class CUserAdministrationDlg;

class CUserAccountAddDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kNameLimit = 30;
    static constexpr int kPasswordLimit = 20;

    explicit CUserAccountAddDlg(CUserAdministrationDlg *owner);

public slots:
    void accept() override; // "添加用户": stays open unless the account was added

private:
    CUserAdministrationDlg *owner_;
    QLineEdit *name_ = nullptr;
    QComboBox *type_ = nullptr;
    QLineEdit *password_ = nullptr;
    QLineEdit *confirmation_ = nullptr;
};

} // namespace talvo
