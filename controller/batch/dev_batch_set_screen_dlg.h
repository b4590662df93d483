// Tab "批量更新开、待机画面" of the batch window: sends a start-up or standby
// image to every ticked device, all of one model, once the image fits it.
#pragma once

#include <QWidget>

#include "common/screen_groups.h"

namespace talvo {

class CDevBatchSetScreenDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevBatchSetScreenDlg(QWidget *parent = nullptr);

    FileRow *Row(ScreenKind kind) const { return groups_.Row(kind); }

    // "更新" of the group of `kind`.
    void OnUpdate(ScreenKind kind);

private:
    ScreenGroups groups_;
};

} // namespace talvo
