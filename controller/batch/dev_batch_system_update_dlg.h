// Tab "批量升级" of the batch window: updates the kernel or the file system of
// every ticked device, all of one model, from the model's expected file, and
// follows the update with the progress bar: the highest progress among the
// ticked devices, kernel every 500 ms, file system every 1500 ms, every
// 100 ms above 95.
#pragma once

#include "common/system_update_page.h"

namespace talvo {

class CDevBatchSystemUpdateDlg : public SystemUpdatePage {
    Q_OBJECT

public:
    explicit CDevBatchSystemUpdateDlg(QWidget *parent = nullptr);

    // Shows the expected file of the first ticked device's model.
    void OnChoose(UpdateKind kind) override;
    // "升级" of a row.
    void OnUpdate(UpdateKind kind) override;

private:
    std::optional<int> ReadProgress(UpdateKind kind) const override;
};

} // namespace talvo
