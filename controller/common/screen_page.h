// What the configuration window's and the batch window's image pages share:
// group "开机画面更新" (start-up image) and group "待机画面更新" (standby
// image), each with "打开文件", its path box (at most 1024 characters) and
// "更新". "打开文件" opens the image chooser; the page says what "更新" does.
#pragma once

#include <QWidget>

#include <array>

#include "common/screen_image_rules.h"

namespace talvo {

class FileRow;

class ScreenPage : public QWidget {
    Q_OBJECT

public:
    FileRow *Row(ScreenKind kind) const { return rows_[static_cast<std::size_t>(kind)]; }

    // "更新" of the group of `kind`.
    virtual void OnUpdate(ScreenKind kind) = 0;

protected:
    explicit ScreenPage(QWidget *parent);

    // The checks of the chosen image before any device is looked at: a path
    // was chosen, its extension is exactly "jpg", the file is there. Shows
    // the first refusal and returns true when there is one.
    bool RefuseImageFile(const QString &path);

private:
    std::array<FileRow *, 2> rows_{};
};

} // namespace talvo
