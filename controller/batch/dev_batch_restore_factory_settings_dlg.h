// Tab "批量恢复出厂设置" of the batch window: factory reset of the ticked devices.
#pragma once

#include <QWidget>

namespace talvo {

class CDevBatchRestoreFactorySettingsDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevBatchRestoreFactorySettingsDlg(QWidget *parent = nullptr);

public slots:
    void OnReset(); // "重置"
};

} // namespace talvo
