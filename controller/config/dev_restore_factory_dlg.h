// Tab "恢复出厂设置" of the configuration window: factory reset of the main
// window's current device, after a question.
#pragma once

#include <QWidget>

namespace talvo {

class CDevRestoreFactoryDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevRestoreFactoryDlg(QWidget *parent = nullptr);

public slots:
    void OnReset(); // "重置"
};

} // namespace talvo
