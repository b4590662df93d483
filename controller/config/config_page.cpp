#include "config/config_page.h"

#include <QBoxLayout>
#include <QPushButton>

#include "app/qm_dlg.h"
#include "common/cp936.h"
#include "common/prompt.h"
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

bool RefuseWhenOffline(QWidget *page, const QByteArray &mac) {
    if (!IsDeviceOffline(mac)) return false;
    Notice(page, QStringLiteral("设备不在线！"));
    return true;
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

bool IsTrueText(const char *field) { return QByteArray(field).compare("true", Qt::CaseInsensitive) == 0; }

QByteArray TrueFalse(bool on) { return on ? QByteArray("true") : QByteArray("false"); }

QPushButton *PageButton(const QString &text, QWidget *page) {
    auto *button = new QPushButton(text, page);
    button->setAutoDefault(false);
    return button;
}

void AddButtonRow(QBoxLayout *page_layout, const QList<QPushButton *> &buttons) {
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *button : buttons) row->addWidget(button);
    page_layout->addLayout(row);
}

void ReportSave(QWidget *page, bool saved) {
    Notice(page, saved ? QStringLiteral("保存成功！") : QStringLiteral("保存失败！"));
}

} // namespace talvo
