#include "config/config_page.h"

#include "app/qm_dlg.h"
#include "common/cp936.h"
#include "config/dev_cfg_dlg.h"
#include "korvel.h"

namespace talvo {
namespace {

template <class Window> Window *Ancestor(const QWidget *widget) {
    for (QWidget *up = widget ? widget->parentWidget() : nullptr; up; up = up->parentWidget())
        if (auto *window = qobject_cast<Window *>(up)) return window;
    return nullptr;
}

} // namespace

QByteArray CurrentDeviceMac(const QWidget *page) {
    const CQMDlg *main_window = Ancestor<CQMDlg>(page);
    return main_window ? main_window->CurrentDeviceMac() : QByteArray();
}

bool IsDeviceOffline(const QByteArray &mac) {
    int state = ZR_QM_STATE_OFFLINE;
    ZR_QM_GetDeviceState(mac.constData(), &state);
    return state == ZR_QM_STATE_OFFLINE;
}

bool ReadDeviceModel(const QByteArray &mac, QByteArray &model) {
    DeviceInfo info{};
    if (ZR_QM_GetDeviceInfo(mac.constData(), &info) != 0) return false;
    model = FieldBytes(info.Device_Type);
    return true;
}

QByteArray DeviceModelOr(const QByteArray &mac, const char *fallback) {
    QByteArray model;
    return ReadDeviceModel(mac, model) ? model : QByteArray(fallback);
}

void CloseConfigurationWindow(QWidget *page) {
    if (CDevCfgDlg *window = Ancestor<CDevCfgDlg>(page)) window->close();
}

} // namespace talvo
