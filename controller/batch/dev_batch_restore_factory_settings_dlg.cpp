#include "batch/dev_batch_restore_factory_settings_dlg.h"

#include <QPushButton>

#include "batch/ticked_devices.h"
#include "common/busy_cursor.h"
#include "common/page_buttons.h"
#include "korvel.h"

namespace talvo {

CDevBatchRestoreFactorySettingsDlg::CDevBatchRestoreFactorySettingsDlg(QWidget *parent) : QWidget(parent) {
    QPushButton *reset = ActionButton(QStringLiteral("重置"), this);
    connect(reset, &QPushButton::clicked, this, &CDevBatchRestoreFactorySettingsDlg::OnReset);
    LayOutActionAndCancel(this, reset);
}

void CDevBatchRestoreFactorySettingsDlg::OnReset() {
    const std::optional<DeviceSet> devices = CollectTickedDevices(this, QStringLiteral("请先选择设备！"));
    if (!devices || !ConfirmBatch(this)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_BatchDeviceFactoryReset(devices->Macs(), devices->Count());
    }
    ShowBatchOutcome(this, result, {"批量操作成功！", "批量操作部分成功！", "批量操作失败！"});
}

} // namespace talvo
