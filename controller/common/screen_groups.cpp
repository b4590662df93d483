#include "common/screen_groups.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/file_checks.h"
#include "common/file_row.h"
#include "common/prompt.h"

namespace talvo {

ScreenGroups::ScreenGroups(QWidget *page, std::function<void(ScreenKind)> update) {
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    const std::pair<ScreenKind, const char *> groups[] = {{ScreenKind::StartUp, "开机画面更新"},
                                                          {ScreenKind::Standby, "待机画面更新"}};
    for (const auto &[kind, caption] : groups) {
        auto *group = new QGroupBox(QString::fromUtf8(caption), page);
        auto *row = new FileRow(QStringLiteral("打开文件"), QStringLiteral("更新"), group);
        (new QVBoxLayout(group))->addWidget(row);
        layout->addWidget(group);
        layout->addStretch(1);
        QObject::connect(row->ChooseButton(), &QPushButton::clicked, row,
                         [row] { row->Choose(QString::fromUtf8(kScreenImageFilter)); });
        QObject::connect(row->SendButton(), &QPushButton::clicked, page, [update, kind] { update(kind); });
        rows_[static_cast<std::size_t>(kind)] = row;
    }
}

bool RefuseImageFile(QWidget *page, const QString &path) {
    QString refusal;
    if (path.isEmpty())
        refusal = QStringLiteral("请先选择文件！");
    else if (!HasExtension(path, QStringLiteral("jpg")))
        refusal = QStringLiteral("文件格式必需是jpg!");
    else if (!FileSize(path))
        refusal = QStringLiteral("文件不存在！\n");
    if (refusal.isEmpty()) return false;
    Notice(page, refusal);
    return true;
}

} // namespace talvo
