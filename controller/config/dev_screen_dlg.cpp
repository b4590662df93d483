#include "config/dev_screen_dlg.h"

#include "common/busy_cursor.h"
#include "common/device_model.h"
#include "common/file_checks.h"
#include "common/file_row.h"
#include "common/prompt.h"
#include "config/current_device.h"
#include "korvel.h"

namespace talvo {
namespace {

// The rules that apply when the device's record cannot be read.
constexpr char kFallbackModel[] = "TALVO_HX";

} // namespace

CDevScreenDlg::CDevScreenDlg(QWidget *parent) : ScreenPage(parent) {}

void CDevScreenDlg::OnUpdate(ScreenKind kind) {
    const QString path = Row(kind)->Path();
    if (RefuseImageFile(path)) return;
    const QByteArray mac = PageDeviceMac(this);
    DeviceModel device = ReadDeviceModel(mac.constData());
    if (device.result != 0) device.model = kFallbackModel;
    const QString refusal = ScreenImageRefusal(kind, device.model, path, RuleWording::DevicePage);
    if (!refusal.isEmpty()) {
        Notice(this, refusal);
        return;
    }
    if (RefuseOfflineDevice(this, mac)) return;
    int result;
    {
        BusyCursor busy;
        result = ZR_QM_SetDeviceScreen(mac.constData(), static_cast<int>(kind), LibraryPath(path).constData());
    }
    if (result != 0)
        Notice(this, QStringLiteral("更新失败！"));
    else if (kind == ScreenKind::StartUp)
        Notice(this, QStringLiteral("更新成功,重启后生效！"));
    else
        Notice(this, QStringLiteral("更新成功！"));
}

} // namespace talvo
