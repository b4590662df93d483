#include "common/file_row.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "common/file_chooser.h"

namespace talvo {

FileRow::FileRow(const QString &choose_text, const QString &send_text, QWidget *parent)
    : QWidget(parent), choose_(new QPushButton(choose_text, this)), path_(new QLineEdit(this)),
      send_(new QPushButton(send_text, this)) {
    path_->setMaxLength(kPathLimit);
    path_->setMinimumWidth(260);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(choose_);
    row->addWidget(path_, 1);
    row->addWidget(send_);
}

QString FileRow::Path() const { return path_->text(); }

void FileRow::Choose(const QString &filter) {
    const QString chosen = ChooseFileToOpen(window(), filter);
    if (!chosen.isEmpty()) path_->setText(chosen);
}

} // namespace talvo
