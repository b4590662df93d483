#include "config/dev_system_update_dlg.h"

#include "common/device_model.h"
#include "common/device_set.h"
#include "common/file_checks.h"
#include "common/file_refusals.h"
#include "common/file_row.h"
#include "common/log.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {
namespace {

constexpr char kLogUnit[] = "DevSystemUpdateDlg";

// The page polls every 100 ms once the device reports more than this.
constexpr int kFastAbove = 99;

} // namespace

CDevSystemUpdateDlg::CDevSystemUpdateDlg(QWidget *parent)
    : SystemUpdatePage(parent, QStringLiteral("更新"), kFastAbove) {}

void CDevSystemUpdateDlg::OnChoose(UpdateKind kind) {
    const DeviceModel device = ReadDeviceModel(PageDeviceMac(this).constData());
    if (device.result != 0) TALVO_LOG("[%s]:[%d]ZR_QM_GetDeviceInfo failed, error id:%d.\n", device.result);
    ChooseFor(kind, device.model);
}

void CDevSystemUpdateDlg::OnUpdate(UpdateKind kind) {
    if (kind == UpdateKind::Kernel)
        StartKernelUpdate();
    else
        StartFileSystemUpdate();
}

void CDevSystemUpdateDlg::StartKernelUpdate() {
    const UpdateKindRules &rules = RulesOf(UpdateKind::Kernel);
    const QString path = Row(UpdateKind::Kernel)->Path();
    if (RefuseEmptyPath(this, path) || RefuseMissingFile(this, path) ||
        RefuseWrongExtension(this, path, rules.extension, rules.extension_message) ||
        RefuseOfflineDevice(this, PageDeviceMac(this)))
        return;
    const std::optional<QByteArray> md5 = DigestOrRefuse(this, path);
    if (!md5 || RefuseLargerThan(this, path, rules.largest, rules.size_message)) return;
    Send(UpdateKind::Kernel, path, *md5);
}

void CDevSystemUpdateDlg::StartFileSystemUpdate() {
    const UpdateKindRules &rules = RulesOf(UpdateKind::FileSystem);
    const QString path = Row(UpdateKind::FileSystem)->Path();
    if (RefuseEmptyPath(this, path) || RefuseWrongExtension(this, path, rules.extension, rules.extension_message) ||
        RefuseOfflineDevice(this, PageDeviceMac(this)))
        return;
    const std::optional<QByteArray> md5 = DigestOrRefuse(this, path);
    if (!md5 || RefuseMissingFile(this, path) || RefuseLargerThan(this, path, rules.largest, rules.size_message))
        return;
    Send(UpdateKind::FileSystem, path, *md5);
}

// The library uploads in the background; the progress polling follows it, so
// the start's own result is not looked at.
void CDevSystemUpdateDlg::Send(UpdateKind kind, const QString &path, const QByteArray &md5) {
    Progress().Start(kind);
    const DeviceSet device({PageDeviceMac(this)});
    ZR_QM_BatchDevSystemUpdate(device.Macs(), device.Count(), static_cast<int>(kind), LibraryPath(path).constData(),
                               md5.constData());
}

std::optional<int> CDevSystemUpdateDlg::ReadProgress(UpdateKind kind) const {
    return ZR_QM_GetDeviceSystemUpdateProgress(PageDeviceMac(this).constData(), static_cast<int>(kind));
}

} // namespace talvo
