// Tab "升级" of the configuration window: updates the current device's kernel
// or file system and follows the update with the progress bar (kernel every
// 500 ms, file system every 1500 ms, every 100 ms once the device reports 100).
#pragma once

#include "common/system_update_page.h"

namespace talvo {

class CDevSystemUpdateDlg : public SystemUpdatePage {
    Q_OBJECT

public:
    explicit CDevSystemUpdateDlg(QWidget *parent = nullptr);

    void OnChoose(UpdateKind kind) override;
    // "更新" of a row. The kernel and the file-system rows check in orders of
    // their own; neither compares the file name with the model's.
    void OnUpdate(UpdateKind kind) override;

private:
    void StartKernelUpdate();
    void StartFileSystemUpdate();
    void Send(UpdateKind kind, const QString &path, const QByteArray &md5);
    std::optional<int> ReadProgress(UpdateKind kind) const override;
};

} // namespace talvo
