#include "batch/dev_batch_system_update_dlg.h"

#include "batch/ticked_devices.h"
#include "common/device_model.h"
#include "common/file_checks.h"
#include "common/file_refusals.h"
#include "common/file_row.h"
#include "common/log.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevBatchSystemUpdateDlg";

// The page polls every 100 ms once the highest progress is above this.
constexpr int kFastAbove = 95;

} // namespace

CDevBatchSystemUpdateDlg::CDevBatchSystemUpdateDlg(QWidget *parent)
    : SystemUpdatePage(parent, QStringLiteral("升级"), kFastAbove) {}

void CDevBatchSystemUpdateDlg::OnChoose(UpdateKind kind) {
    const QList<QByteArray> ticked = TickedMacsNow(this);
    QByteArray model;
    if (!ticked.isEmpty()) {
        const DeviceModel device = ReadDeviceModel(ticked.first().constData());
        if (device.result != 0) TALVO_LOG("[%s]:[%d]ZR_QM_GetDeviceInfo failed, error id:%d.\n", device.result);
        model = device.model;
    }
    ChooseFor(kind, model);
}

void CDevBatchSystemUpdateDlg::OnUpdate(UpdateKind kind) {
    const UpdateKindRules &rules = RulesOf(kind);
    const QString path = Row(kind)->Path();
    if (RefuseEmptyPath(this, path) || RefuseWrongExtension(this, path, rules.extension, rules.extension_message))
        return;
    const std::optional<DeviceSet> devices = CollectTickedDevices(this, QStringLiteral("没有选中设备！"));
    if (!devices) return;
    const std::optional<QByteArray> model = CommonModel(this, *devices, QStringLiteral("请选择相同类型的设备！"));
    if (!model) return;
    const std::optional<QString> expected = ExpectedUpdateFile(kind, *model);
    if (!expected) {
        Notice(this, QStringLiteral("设备类型不存在！"));
        return;
    }
    if (FileNameOf(path) != *expected) {
        Notice(this, QStringLiteral("文件名称不正确！"));
        return;
    }
    if (RefuseMissingFile(this, path) || RefuseLargerThan(this, path, rules.largest, rules.size_message) ||
        !ConfirmBatch(this))
        return;
    const std::optional<QByteArray> md5 = DigestOrRefuse(this, path);
    if (!md5) return;
    // The library uploads in the background; the progress polling follows
    // it, so the start's own result is not looked at.
    Progress().Start(kind);
    ZR_QM_BatchDevSystemUpdate(devices->Macs(), devices->Count(), static_cast<int>(kind),
                               LibraryPath(path).constData(), md5->constData());
}

std::optional<int> CDevBatchSystemUpdateDlg::ReadProgress(UpdateKind kind) const {
    const QList<QByteArray> ticked = TickedMacsNow(this);
    if (ticked.isEmpty()) return std::nullopt;
    const DeviceSet devices(ticked);
    return ZR_QM_BatchGetDeviceSystemUpdateProgress(devices.Macs(), devices.Count(), static_cast<int>(kind));
}

} // namespace talvo
