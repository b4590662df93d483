// Tab "重启设备" of the configuration window: reboot of the main window's
// current device, over HTTP and, when that fails, once over the command port.
#pragma once

#include <QWidget>

namespace talvo {

class CDevRebootDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevRebootDlg(QWidget *parent = nullptr);

public slots:
    void OnReboot(); // "重启"
};

} // namespace talvo
