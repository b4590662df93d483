#include "app/user_form.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "common/cp936.h"

namespace talvo {
namespace {

const std::array<QString, 3> &TypeNames() {
    static const std::array<QString, 3> names = {QStringLiteral("超级管理员账号"), QStringLiteral("管理员账号"),
                                                 QStringLiteral("普通账号")};
    return names;
}

bool IsAsciiLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

} // namespace

QString UserTypeName(int type) {
    if (type < 0 || type >= static_cast<int>(TypeNames().size())) return {};
    return TypeNames()[static_cast<std::size_t>(type)];
}

int GetUserTypeByStr(const QString &text) {
    for (std::size_t i = 0; i < TypeNames().size(); ++i)
        if (TypeNames()[i] == text) return static_cast<int>(i);
    return -1;
}

QLineEdit *PasswordBox(QWidget *parent, int limit, const char *object_name) {
    auto *box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(limit);
    box->setObjectName(QString::fromLatin1(object_name));
    return box;
}

QLineEdit *ShownBox(QWidget *parent, const char *object_name) {
    auto *box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setObjectName(QString::fromLatin1(object_name));
    return box;
}

void KeepAsciiLettersAndDigits(QLineEdit *box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString &text) {
        QString kept;
        for (QChar c : text)
            if (IsAsciiLetterOrDigit(c)) kept.append(c);
        if (kept == text) return;
        box->setText(kept);
        box->end(false);
    });
}

QString RefusalOf(const NewPasswordRule &rule, bool any_box_empty, const QString &password,
                  const QString &confirmation) {
    if (any_box_empty) return QString::fromUtf8(rule.empty_notice);
    if (password.size() < rule.shortest || password.size() > rule.longest)
        return QString::fromUtf8(rule.length_notice);
    if (password != confirmation) return QString::fromUtf8(rule.mismatch_notice);
    return {};
}

QString PasswordBoxes::Refusal(const NewPasswordRule &rule) const {
    const bool any_empty = current->text().isEmpty() || fresh->text().isEmpty() || confirmation->text().isEmpty();
    return RefusalOf(rule, any_empty, fresh->text(), confirmation->text());
}

void PasswordBoxes::Clear() const {
    current->clear();
    fresh->clear();
    confirmation->clear();
}

PasswordBoxes AddPasswordRows(QWidget *window, QFormLayout *form, int limit) {
    PasswordBoxes boxes;
    boxes.current = PasswordBox(window, limit, "current");
    boxes.fresh = PasswordBox(window, limit, "new");
    boxes.confirmation = PasswordBox(window, limit, "confirmation");
    form->addRow(QStringLiteral("当前密码："), boxes.current);
    form->addRow(QStringLiteral("新密码："), boxes.fresh);
    form->addRow(QStringLiteral("确认密码："), boxes.confirmation);
    return boxes;
}

QPushButton *AddFormButtons(QDialog *window, QBoxLayout *column, const char *accept_text) {
    auto *row = new QHBoxLayout;
    auto *accept = new QPushButton(QString::fromUtf8(accept_text), window);
    auto *cancel = new QPushButton(QStringLiteral("取消"), window);
    accept->setDefault(true);
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(accept);
    row->addWidget(cancel);
    column->addLayout(row);
    column->setSizeConstraint(QLayout::SetFixedSize); // the window fits its form
    window->setMinimumWidth(380);
    return accept;
}

QByteArray BoxBytes(const QLineEdit *box) { return ToCp936(box->text()); }

} // namespace talvo
