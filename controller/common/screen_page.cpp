#include "common/screen_page.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/file_refusals.h"
#include "common/file_row.h"

namespace talvo {

ScreenPage::ScreenPage(QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    const std::pair<ScreenKind, const char *> groups[] = {{ScreenKind::StartUp, "开机画面更新"},
                                                          {ScreenKind::Standby, "待机画面更新"}};
    for (const auto &[kind, caption] : groups) {
        auto *group = new QGroupBox(QString::fromUtf8(caption), this);
        auto *row = new FileRow(QStringLiteral("打开文件"), QStringLiteral("更新"), group);
        (new QVBoxLayout(group))->addWidget(row);
        layout->addWidget(group);
        layout->addStretch(1);
        connect(row->ChooseButton(), &QPushButton::clicked, row,
                [row] { row->Choose(QString::fromUtf8(kScreenImageFilter)); });
        connect(row->SendButton(), &QPushButton::clicked, this, [this, kind] { OnUpdate(kind); });
        rows_[static_cast<std::size_t>(kind)] = row;
    }
}

bool ScreenPage::RefuseImageFile(const QString &path) {
    return RefuseEmptyPath(this, path) || RefuseWrongExtension(this, path, "jpg", "文件格式必需是jpg!") ||
           RefuseMissingFile(this, path);
}

} // namespace talvo
