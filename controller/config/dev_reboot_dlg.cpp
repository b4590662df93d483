#include "config/dev_reboot_dlg.h"

#include <QPushButton>

#include "common/busy_cursor.h"
#include "common/log.h"
#include "common/page_buttons.h"
#include "common/prompt.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevRebootDlg";

} // namespace

CDevRebootDlg::CDevRebootDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *reboot = ActionButton(QStringLiteral("重启"), this);
    connect(reboot, &QPushButton::clicked, this, &CDevRebootDlg::OnReboot);
    LayOutActionAndCancel(this, reboot);
}

void CDevRebootDlg::OnReboot() {
    const QByteArray mac = PageDeviceMac(this);
    if (RefuseOfflineDevice(this, mac)) return;
    if (!ConfirmYesNo(this, QStringLiteral("请再次确认是否进行此操作？"))) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_DeviceReboot(mac.constData());
        if (result != 0) result = ZR_QM_DeviceReboot_Ex(mac.constData());
    }
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]device reboot failed, iRet:%d.\n", result);
        Notice(this, QStringLiteral("重启失败！"));
        return;
    }
    Notice(this, QStringLiteral("重启成功！"));
}

} // namespace talvo
