// Tab "批量重启" of the batch window: reboots the ticked devices over HTTP
// and, when that fails altogether, once more over the command port.
#pragma once

#include <QWidget>

namespace talvo {

class CDevBatchRebootDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevBatchRebootDlg(QWidget *parent = nullptr);

public slots:
    void OnReboot(); // "重启"
};

} // namespace talvo
