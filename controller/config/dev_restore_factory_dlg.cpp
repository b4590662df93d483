#include "config/dev_restore_factory_dlg.h"

#include <QPushButton>

#include "common/busy_cursor.h"
#include "common/page_buttons.h"
#include "common/prompt.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {

CDevRestoreFactoryDlg::CDevRestoreFactoryDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *reset = ActionButton(QStringLiteral("重置"), this);
    connect(reset, &QPushButton::clicked, this, &CDevRestoreFactoryDlg::OnReset);
    LayOutActionAndCancel(this, reset);
}

void CDevRestoreFactoryDlg::OnReset() {
    if (!ConfirmYesNo(this, QStringLiteral("请再次确认是否进行该操作？"))) return;
    const QByteArray mac = PageDeviceMac(this);
    if (RefuseOfflineDevice(this, mac)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_DeviceFactoryReset(mac.constData());
    }
    Notice(this, result != 0 ? QStringLiteral("恢复出厂设置失败！") : QStringLiteral("恢复出厂设置成功！"));
}

} // namespace talvo
