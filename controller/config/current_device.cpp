#include "config/current_device.h"

#include <QString>

#include "app/main_window_of.h"
#include "app/qm_dlg.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {

QByteArray PageDeviceMac(const QWidget *page) {
    const CQMDlg *main_window = MainWindowOf(page);
    return main_window ? main_window->CurrentDeviceMac() : QByteArray();
}

bool RefuseOfflineDevice(QWidget *page, const QByteArray &mac) {
    int state = ZR_QM_STATE_OFFLINE;
    ZR_QM_GetDeviceState(mac.constData(), &state);
    if (state != ZR_QM_STATE_OFFLINE) return false;
    Notice(page, QStringLiteral("设备不在线！"));
    return true;
}

} // namespace talvo
