#include "common/password_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "common/page_buttons.h"

namespace talvo {

std::array<QLineEdit *, 3> AddPasswordForm(QWidget *page, const std::array<QString, 3> &labels, int limit,
                                           QPushButton *action) {
    auto *grid = new QGridLayout(page);
    grid->setRowStretch(0, 1);
    std::array<QLineEdit *, 3> boxes{};
    for (int line = 0; line < 3; ++line) {
        auto *box = new QLineEdit(page);
        box->setEchoMode(QLineEdit::Password);
        box->setMaxLength(limit);
        grid->addWidget(new QLabel(labels[static_cast<std::size_t>(line)], page), line + 1, 1);
        grid->addWidget(box, line + 1, 2);
        boxes[static_cast<std::size_t>(line)] = box;
    }
    grid->addLayout(CentredButtons({action, CloseWindowButton(page)}), 4, 1, 1, 2);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnMinimumWidth(2, 200);
    grid->setColumnStretch(3, 1);
    return boxes;
}

} // namespace talvo
