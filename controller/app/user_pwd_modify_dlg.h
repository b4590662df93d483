// "更改密码": the logged-in operator changes his own password. A successful
// change ends the log-in: this window, the user administration window it was
// opened from (if any) and the main window close, back to the login window.
#pragma once

#include <QDialog>

#include "app/user_form.h"

class QLineEdit;

namespace talvo {

class CQMDlg;

class CUserPwdModifyDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPasswordLimit = 20;

    // `main` is the main window that logs the operator out afterwards.
    CUserPwdModifyDlg(QWidget *parent, CQMDlg *main);

public slots:
    void accept() override; // "更改密码"

private:
    void ShowOperator();

    CQMDlg *main_;
    QLineEdit *name_ = nullptr;
    QLineEdit *type_ = nullptr;
    PasswordBoxes passwords_;
};

} // namespace talvo
