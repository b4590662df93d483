// Tab "开、待机画面更新" of the configuration window: sends a new start-up or
// standby image to the current device, once it fits the device's model.
#pragma once

#include "common/screen_page.h"

namespace talvo {

class CDevScreenDlg : public ScreenPage {
    Q_OBJECT

public:
    explicit CDevScreenDlg(QWidget *parent = nullptr);

    // No question on this page: the image goes once it passes the checks.
    void OnUpdate(ScreenKind kind) override;
};

} // namespace talvo
