// Tab "批量修改设备通讯密码" of the batch window: changes the password the
// library logs in to the ticked devices with. The confirmation comes before
// the checks of the boxes; a refused entry empties all three boxes.
#pragma once

#include <QWidget>

class QLineEdit;

namespace talvo {

class CDevBatchOperatePwdDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPasswordLimit = 32; // characters per box

    explicit CDevBatchOperatePwdDlg(QWidget *parent = nullptr);

    QLineEdit *CurrentPassword() const { return current_; }
    QLineEdit *NewPassword() const { return new_; }
    QLineEdit *Confirmation() const { return confirmation_; }

public slots:
    void OnApply(); // "确定"

private:
    // The refusal of the typed passwords, empty when they pass.
    QString Refusal() const;
    void ClearBoxes();

    QLineEdit *current_ = nullptr;
    QLineEdit *new_ = nullptr;
    QLineEdit *confirmation_ = nullptr;
};

} // namespace talvo
