// Tab "批量更新开、待机画面" of the batch window: sends a start-up or standby
// image to every ticked device, all of one model, once the image fits it.
#pragma once

#include "common/screen_page.h"

namespace talvo {

class CDevBatchSetScreenDlg : public ScreenPage {
    Q_OBJECT

public:
    explicit CDevBatchSetScreenDlg(QWidget *parent = nullptr);

    void OnUpdate(ScreenKind kind) override;
};

} // namespace talvo
