#include "batch/ticked_devices.h"

#include "app/main_window_of.h"
#include "app/qm_dlg.h"
#include "common/device_model.h"
#include "common/prompt.h"
#include "korvel.h"

namespace talvo {

std::optional<DeviceSet> CollectTickedDevices(QWidget *page, const QString &no_selection) {
    CQMDlg *main_window = MainWindowOf(page);
    DeviceListModel *list = main_window ? &main_window->DeviceList() : nullptr;
    QList<QByteArray> macs;
    for (int row = 0; list && row < list->rowCount(); ++row) {
        if (!list->IsTicked(row)) continue;
        const QByteArray mac = list->Mac(row);
        int state = ZR_QM_STATE_UNKNOWN;
        if (ZR_QM_GetDeviceState(mac.constData(), &state) != 0) {
            Notice(page, QStringLiteral("设备不存在！"));
            return std::nullopt;
        }
        if (state == ZR_QM_STATE_OFFLINE) {
            Notice(page, QStringLiteral("设备不在线，不允许批量操作！"));
            return std::nullopt;
        }
        macs << mac;
    }
    if (macs.isEmpty()) {
        Notice(page, no_selection);
        return std::nullopt;
    }
    return DeviceSet(macs);
}

QList<QByteArray> TickedMacsNow(const QWidget *page) {
    const CQMDlg *main_window = MainWindowOf(page);
    return main_window ? main_window->TickedMacs() : QList<QByteArray>();
}

bool ConfirmBatch(QWidget *page) { return ConfirmYesNo(page, QStringLiteral("请再次确认是否进行批量操作？")); }

std::optional<QByteArray> CommonModel(QWidget *page, const DeviceSet &devices, const QString &mixed) {
    QByteArray common;
    for (unsigned int i = 0; i < devices.Count(); ++i) {
        const DeviceModel device = ReadDeviceModel(devices.Mac(i));
        if (device.result != 0) return std::nullopt;
        if (i > 0 && device.model != common) {
            Notice(page, mixed);
            return std::nullopt;
        }
        common = device.model;
    }
    return common;
}

void ShowBatchOutcome(QWidget *page, int result, const BatchMessages &messages) {
    const char *text = result == 0                         ? messages.success
                       : result == ZR_QM_ERR_BATCH_PARTIAL ? messages.partial
                                                           : messages.failure;
    Notice(page, QString::fromUtf8(text));
}

} // namespace talvo
