#include "batch/dev_batch_reboot_dlg.h"

#include <QPushButton>

#include "batch/ticked_devices.h"
#include "common/busy_cursor.h"
#include "common/page_buttons.h"
#include "korvel.h"

namespace talvo {

CDevBatchRebootDlg::CDevBatchRebootDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *reboot = ActionButton(QStringLiteral("重启"), this);
    connect(reboot, &QPushButton::clicked, this, &CDevBatchRebootDlg::OnReboot);
    LayOutActionAndCancel(this, reboot);
}

void CDevBatchRebootDlg::OnReboot() {
    const std::optional<DeviceSet> devices = CollectTickedDevices(this, QStringLiteral("请先选择设备！"));
    if (!devices || !ConfirmBatch(this)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_BatchDeviceReboot(devices->Macs(), devices->Count());
        if (result != 0 && result != ZR_QM_ERR_BATCH_PARTIAL)
            result = ZR_QM_BatchDeviceReboot_Ex(devices->Macs(), devices->Count());
    }
    ShowBatchOutcome(this, result, {"批量重启成功！", "批量重启部分成功！", "批量重启失败！"});
}

} // namespace talvo
