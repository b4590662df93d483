#include "batch/dev_batch_set_screen_dlg.h"

#include "batch/ticked_devices.h"
#include "common/busy_cursor.h"
#include "common/file_checks.h"
#include "common/file_row.h"
#include "common/log.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevBatchSetScreenDlg";

} // namespace

CDevBatchSetScreenDlg::CDevBatchSetScreenDlg(QWidget *parent) : ScreenPage(parent) {}

void CDevBatchSetScreenDlg::OnUpdate(ScreenKind kind) {
    const QString path = Row(kind)->Path();
    if (RefuseImageFile(path)) return;
    const std::optional<DeviceSet> devices = CollectTickedDevices(this, QStringLiteral("请先选择设备！"));
    if (!devices) return;
    const std::optional<QByteArray> model = CommonModel(this, *devices, QStringLiteral("请选择相同类型设备！"));
    if (!model) return;
    const QString refusal = ScreenImageRefusal(kind, *model, path, RuleWording::BatchPage);
    if (!refusal.isEmpty()) {
        Notice(this, refusal);
        return;
    }
    if (!ConfirmBatch(this)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_BatchSetDeviceScreen(devices->Macs(), devices->Count(), static_cast<int>(kind),
                                            LibraryPath(path).constData());
    }
    if (result != 0) {
        TALVO_LOG("[%s]:[%d]batch set device screen failed.\n");
        Notice(this, QStringLiteral("批量更新失败！"));
        return;
    }
    Notice(this, kind == ScreenKind::StartUp ? QStringLiteral("批量更新成功，重启后生效！")
                                             : QStringLiteral("批量更新成功！"));
}

} // namespace talvo
