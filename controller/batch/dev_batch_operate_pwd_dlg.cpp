#include "batch/dev_batch_operate_pwd_dlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "batch/ticked_devices.h"
#include "common/busy_cursor.h"
#include "common/cp936.h"
#include "common/page_buttons.h"
#include "common/password_form.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

// Bytes of a new password.
constexpr qsizetype kShortest = 6;
constexpr qsizetype kLongest = 16;

} // namespace

CDevBatchOperatePwdDlg::CDevBatchOperatePwdDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *apply = ActionButton(QStringLiteral("确定"), this);
    connect(apply, &QPushButton::clicked, this, &CDevBatchOperatePwdDlg::OnApply);
    const std::array<QLineEdit *, 3> boxes = AddPasswordForm(
        this, {QStringLiteral("当前密码："), QStringLiteral("新密码："), QStringLiteral("确认密码：")}, kPasswordLimit,
        apply);
    current_ = boxes[0];
    new_ = boxes[1];
    confirmation_ = boxes[2];
}

void CDevBatchOperatePwdDlg::OnApply() {
    const QByteArray current = ToCp936(current_->text());
    const QByteArray password = ToCp936(new_->text());
    const std::optional<DeviceSet> devices = CollectTickedDevices(this, QStringLiteral("请先选择设备！"));
    if (!devices || !ConfirmBatch(this)) return;
    if (const QString refusal = Refusal(); !refusal.isEmpty()) {
        Notice(this, refusal);
        ClearBoxes();
        return;
    }
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_BatchSetDeviceLoginPWD(devices->Macs(), devices->Count(), current.constData(),
                                              password.constData());
    }
    ShowBatchOutcome(this, result, {"批量操作成功！", "批量操作部分成功！", "批量操作失败！"});
}

QString CDevBatchOperatePwdDlg::Refusal() const {
    const QByteArray password = ToCp936(new_->text());
    if (current_->text().isEmpty() || password.isEmpty() || confirmation_->text().isEmpty())
        return QStringLiteral("密码不能为空！");
    if (password.size() < kShortest || password.size() > kLongest) return QStringLiteral("密码长度为6~16位！");
    if (password != ToCp936(confirmation_->text())) return QStringLiteral("密码不一致！");
    return {};
}

void CDevBatchOperatePwdDlg::ClearBoxes() {
    current_->clear();
    new_->clear();
    confirmation_->clear();
}

} // namespace talvo
