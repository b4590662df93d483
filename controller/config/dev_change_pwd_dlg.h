// Tab "修改设备WEB密码" of the configuration window: changes the password of
// the current device's own web interface.
#pragma once

#include <QWidget>

class QLineEdit;

namespace talvo {

class CDevChangePwdDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPasswordLimit = 20; // characters per box

    explicit CDevChangePwdDlg(QWidget *parent = nullptr);

    QLineEdit *OldPassword() const { return old_; }
    QLineEdit *NewPassword() const { return new_; }
    QLineEdit *Confirmation() const { return confirmation_; }

public slots:
    void OnSave(); // "保存"

private:
    QLineEdit *old_ = nullptr;
    QLineEdit *new_ = nullptr;
    QLineEdit *confirmation_ = nullptr;
};

} // namespace talvo
