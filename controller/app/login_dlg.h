// The login window: authenticates an operator against the library's accounts
// and then runs the main window modally for as long as the operator stays
// logged in. It is the program's main window for the whole run.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace talvo {

class CLoginDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kUserNameLimit = 30;
    static constexpr int kPasswordLimit = 20;

    explicit CLoginDlg(QWidget *parent = nullptr);

    QLineEdit *UserNameBox() const { return user_; }
    QLineEdit *PasswordBox() const { return password_; }

public slots:
    void OnLogin(); // "登录" and Enter
    void OnReset(); // "重置"

protected:
    void done(int result) override;

private:
    void RunMainWindow();

    QLineEdit *user_ = nullptr;
    QLineEdit *password_ = nullptr;
    QPushButton *login_ = nullptr;
    QPushButton *reset_ = nullptr;
    bool ended_ = false;
};

} // namespace talvo
