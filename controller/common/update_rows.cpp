#include "common/update_rows.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "common/file_row.h"
#include "common/update_progress.h"

namespace talvo {

UpdateRows::UpdateRows(QWidget *page, const QString &send_text, const UpdateProgress &progress,
                       const std::function<void(UpdateKind)> &choose, const std::function<void(UpdateKind)> &send) {
    auto *grid = new QGridLayout(page);
    grid->setRowStretch(0, 1);
    const std::pair<UpdateKind, const char *> rows[] = {{UpdateKind::Kernel, "内核"},
                                                        {UpdateKind::FileSystem, "系统"}};
    int line = 1;
    for (const auto &[kind, caption] : rows) {
        auto *row = new FileRow(QStringLiteral("打开"), send_text, page);
        grid->addWidget(new QLabel(QString::fromUtf8(caption), page), line, 0);
        grid->addWidget(row, line, 1);
        ++line;
        QObject::connect(row->ChooseButton(), &QPushButton::clicked, page, [choose, kind] { choose(kind); });
        QObject::connect(row->SendButton(), &QPushButton::clicked, page, [send, kind] { send(kind); });
        rows_[kind == UpdateKind::Kernel ? 0 : 1] = row;
    }
    grid->addWidget(progress.Bar(), line++, 0, 1, 2);
    grid->addWidget(progress.Text(), line++, 0, 1, 2, Qt::AlignCenter);
    grid->setRowStretch(line, 1);
}

} // namespace talvo
