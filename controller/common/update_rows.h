// The rows of a system update page: "内核" (kernel) and "系统" (file system),
// each with its file row, and below them the progress bar and its text.
#pragma once

#include <QString>

#include <array>
#include <functional>

#include "common/system_update_kinds.h"

class QWidget;

namespace talvo {

class FileRow;
class UpdateProgress;

class UpdateRows {
public:
    // Lays the rows out as the whole of `page`. "打开" of a row calls
    // `choose`, `send_text` (the row's other button) calls `send`.
    UpdateRows(QWidget *page, const QString &send_text, const UpdateProgress &progress,
               const std::function<void(UpdateKind)> &choose, const std::function<void(UpdateKind)> &send);

    FileRow *Row(UpdateKind kind) const { return kind == UpdateKind::Kernel ? rows_[0] : rows_[1]; }

private:
    std::array<FileRow *, 2> rows_{};
};

} // namespace talvo
