// Tab "升级" of the configuration window: updates the current device's kernel
// or file system and follows the update with the progress bar (kernel every
// 500 ms, file system every 1500 ms, every 100 ms once the device reports 100).
#pragma once

#include <QWidget>

#include "common/system_update_kinds.h"
#include "common/update_progress.h"
#include "common/update_rows.h"

namespace talvo {

class CDevSystemUpdateDlg : public QWidget {
    Q_OBJECT

public:
    explicit CDevSystemUpdateDlg(QWidget *parent = nullptr);

    FileRow *Row(UpdateKind kind) const { return rows_.Row(kind); }
    UpdateProgress &Progress() { return progress_; }

    // "打开" of a row: the file chooser, showing the model's expected file.
    void OnChoose(UpdateKind kind);
    // "更新" of a row.
    void OnUpdate(UpdateKind kind);

private:
    void StartKernelUpdate();
    void StartFileSystemUpdate();
    void Send(UpdateKind kind, const QString &path, const QByteArray &md5);
    std::optional<int> ReadProgress(UpdateKind kind) const;

    UpdateProgress progress_;
    UpdateRows rows_;
};

} // namespace talvo
