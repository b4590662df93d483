// What the configuration window's and the batch window's system update
// pages share: rows "内核" (kernel) and "系统" (file system), each with "打开",
// its path box and its send button, and below them the progress bar with its
// text and timers. The pages say what choosing, sending and reading the
// progress mean for their devices.
#pragma once

#include <QWidget>

#include <optional>

#include "common/system_update_kinds.h"
#include "common/update_progress.h"

namespace talvo {

class FileRow;

class SystemUpdatePage : public QWidget {
    Q_OBJECT

public:
    FileRow *Row(UpdateKind kind) const { return kind == UpdateKind::Kernel ? kernel_ : file_system_; }
    UpdateProgress &Progress() { return progress_; }

    // "打开" of a row: the file chooser, showing the model's expected file.
    virtual void OnChoose(UpdateKind kind) = 0;
    // The send button of a row.
    virtual void OnUpdate(UpdateKind kind) = 0;

protected:
    // `send_text` names the rows' send buttons; above `fast_above` the
    // progress is read every 100 ms.
    SystemUpdatePage(QWidget *parent, const QString &send_text, int fast_above);

    // The progress of `kind` now: see UpdateProgress::Poll.
    virtual std::optional<int> ReadProgress(UpdateKind kind) const = 0;
    // The chooser of `kind`'s row with the filter for `model`.
    void ChooseFor(UpdateKind kind, const QByteArray &model);

private:
    UpdateProgress progress_;
    FileRow *kernel_ = nullptr;
    FileRow *file_system_ = nullptr;
};

} // namespace talvo
