#include "common/system_update_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "common/file_row.h"

namespace talvo {

SystemUpdatePage::SystemUpdatePage(QWidget *parent, const QString &send_text, int fast_above)
    : QWidget(parent), progress_(this, fast_above, [this](UpdateKind kind) { return ReadProgress(kind); }) {
    auto *grid = new QGridLayout(this);
    grid->setRowStretch(0, 1);
    const std::pair<UpdateKind, const char *> rows[] = {{UpdateKind::Kernel, "内核"}, {UpdateKind::FileSystem, "系统"}};
    int line = 1;
    for (const auto &[kind, caption] : rows) {
        auto *row = new FileRow(QStringLiteral("打开"), send_text, this);
        grid->addWidget(new QLabel(QString::fromUtf8(caption), this), line, 0);
        grid->addWidget(row, line++, 1);
        connect(row->ChooseButton(), &QPushButton::clicked, this, [this, kind] { OnChoose(kind); });
        connect(row->SendButton(), &QPushButton::clicked, this, [this, kind] { OnUpdate(kind); });
        (kind == UpdateKind::Kernel ? kernel_ : file_system_) = row;
    }
    grid->addWidget(progress_.Bar(), line++, 0, 1, 2);
    grid->addWidget(progress_.Text(), line++, 0, 1, 2, Qt::AlignCenter);
    grid->setRowStretch(line, 1);
}

void SystemUpdatePage::ChooseFor(UpdateKind kind, const QByteArray &model) {
    Row(kind)->Choose(UpdateFileFilter(kind, model));
}

} // namespace talvo
