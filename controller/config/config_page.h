// What every page of the configuration window shares: the device it works
// on, the online check before an action, the model of the device, the
// "取消" that closes the whole window, and the small pieces every page is
// built from (blocking calls, flag texts, buttons, the save notice).
//
// A page never keeps a copy of its device. Each action asks the main window
// for its current device at the moment it runs, through the page's parent
// chain (page, tab control, configuration window, main window).
#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>

#include "common/busy_cursor.h"

class QBoxLayout;
class QPushButton;

namespace talvo {

// MAC of the main window's current device, found through `page`'s parents;
// empty when the page has no main window above it.
QByteArray CurrentDeviceMac(const QWidget *page);

// True when the library holds the device as offline (state 4). A device the
// library does not know counts as offline too: its state stays at the preset.
bool IsDeviceOffline(const QByteArray &mac);
// The same check before a save: true, after the notice "设备不在线！", when
// the device is offline.
bool RefuseWhenOffline(QWidget *page, const QByteArray &mac);

// Model name (`Device_Type`) of the device; false when the library does not
// know the device.
bool ReadDeviceModel(const QByteArray &mac, QByteArray &model);

// The model, or `fallback` when it cannot be read.
QByteArray DeviceModelOr(const QByteArray &mac, const char *fallback);

// Closes the configuration window that holds `page`, as its close box does.
void CloseConfigurationWindow(QWidget *page);

// Runs one blocking library call with the busy cursor shown; its result.
template <class Call> int Blocking(Call &&call) {
    BusyCursor busy;
    return call();
}

// A flag field that reads "true", letter case ignored.
bool IsTrueText(const char *field);
// The text of a flag field.
QByteArray TrueFalse(bool on);

// A button of a page; Return does not press it unless it is made default.
QPushButton *PageButton(const QString &text, QWidget *page);
// The row of `buttons` at the bottom right of a page.
void AddButtonRow(QBoxLayout *page_layout, const QList<QPushButton *> &buttons);
// The notice after a save: "保存成功！" or "保存失败！".
void ReportSave(QWidget *page, bool saved);

// A page that the configuration window refills from the device each time
// its tab is chosen (tabs 0 to 4).
class ReloadingPage : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;
    // Refills the page from the device; does nothing visible when the device
    // is offline or the read fails.
    virtual void Load() = 0;

  protected:
    QByteArray DeviceMac() const { return CurrentDeviceMac(this); }
    void CloseWindow() { CloseConfigurationWindow(this); }
};

} // namespace talvo
