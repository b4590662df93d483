// Tab "批量升级" of the batch window: updates the kernel or the file system of
// every ticked device, all of one model, from the model's expected file, and
// follows the update with the progress bar: the highest progress among the
// ticked devices, kernel every 500 ms, file system every 1500 ms, every
// 100 ms above 95.
#pragma once

#include <QWidget>

#include "common/system_update_kinds.h"
#include "common/update_progress.h"
#include "common/update_rows.h"

namespace talvo {

class CDevBatchSystemUpdateDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevBatchSystemUpdateDlg(QWidget *parent = nullptr);

    FileRow *Row(UpdateKind kind) const { return rows_.Row(kind); }
    UpdateProgress &Progress() { return progress_; }

    // "打开" of a row: the file chooser, showing the expected file of the
    // first ticked device's model.
    void OnChoose(UpdateKind kind);
    // "升级" of a row.
    void OnUpdate(UpdateKind kind);

private:
    std::optional<int> ReadProgress(UpdateKind kind) const;

    UpdateProgress progress_;
    UpdateRows rows_;
};

} // namespace talvo
