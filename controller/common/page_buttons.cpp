#include "common/page_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvo {

QPushButton *ActionButton(const QString &text, QWidget *page) {
    auto *button = new QPushButton(text, page);
    button->setAutoDefault(false);
    return button;
}

QPushButton *CloseWindowButton(QWidget *page) {
    QPushButton *cancel = ActionButton(QStringLiteral("取消"), page);
    QObject::connect(cancel, &QPushButton::clicked, page, [page] { page->window()->close(); });
    return cancel;
}

QBoxLayout *CentredButtons(std::initializer_list<QPushButton *> buttons) {
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *button : buttons) row->addWidget(button);
    row->addStretch(1);
    return row;
}

void LayOutActionAndCancel(QWidget *page, QPushButton *action) {
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addLayout(CentredButtons({action, CloseWindowButton(page)}));
    layout->addStretch(1);
}

} // namespace talvo
