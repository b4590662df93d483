// The two groups of an image page: "开机画面更新" (start-up image) and
// "待机画面更新" (standby image), each with its file row. "打开文件" opens the
// image chooser; "更新" runs the page's update for that kind.
#pragma once

#include <QString>

#include <array>
#include <functional>

#include "common/screen_image_rules.h"

class QWidget;

namespace talvo {

class FileRow;

class ScreenGroups {
public:
    // Lays the groups out as the whole of `page`.
    ScreenGroups(QWidget *page, std::function<void(ScreenKind)> update);

    FileRow *Row(ScreenKind kind) const { return rows_[static_cast<std::size_t>(kind)]; }

private:
    std::array<FileRow *, 2> rows_{};
};

// The checks of the chosen image before any device is looked at: a path was
// chosen, its extension is exactly "jpg", the file is there. Shows the first
// refusal and returns true when there is one.
bool RefuseImageFile(QWidget *page, const QString &path);

} // namespace talvo
