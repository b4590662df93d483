// Tab "开、待机画面更新" of the configuration window: sends a new start-up or
// standby image to the current device, once it fits the device's model.
#pragma once

#include <QWidget>

#include "common/screen_groups.h"

namespace talvo {

class CDevScreenDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevScreenDlg(QWidget *parent = nullptr);

    FileRow *Row(ScreenKind kind) const { return groups_.Row(kind); }

    // "更新" of the group of `kind`.
    void OnUpdate(ScreenKind kind);

private:
    ScreenGroups groups_;
};

} // namespace talvo
