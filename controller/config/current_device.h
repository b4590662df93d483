// The device of the configuration window's pages: the main window's current
// device, read at the moment a page acts.
#pragma once

#include <QByteArray>

class QWidget;

namespace talvo {

// The MAC of the main window's current device; empty without a main window.
QByteArray PageDeviceMac(const QWidget *page);

// The device-state test of the maintenance pages: the notice "设备不在线！"
// and true when the library holds the device as offline (or does not know it).
bool RefuseOfflineDevice(QWidget *page, const QByteArray &mac);

} // namespace talvo
