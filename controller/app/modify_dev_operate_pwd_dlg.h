// "修改设备通讯密码": changes the password the library logs in to every
// receiver with. The receivers' own passwords stay as they are.
#pragma once

#include <QDialog>

#include "app/user_form.h"

namespace talvo {

class CModifyDevOperatePwdDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPasswordLimit = 32;

    explicit CModifyDevOperatePwdDlg(QWidget *parent);

public slots:
    void accept() override; // "更改密码"

private:
    PasswordBoxes passwords_;
};

} // namespace talvo
