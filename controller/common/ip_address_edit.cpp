#include "common/ip_address_edit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace talvo {
namespace {

// 0 to 255 without leading zeros, or empty.
const QRegularExpression &OctetPattern() {
    static const QRegularExpression pattern(QStringLiteral("^(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])?$"));
    return pattern;
}

// "a.b.c.d" with each part a decimal 0 to 255 (leading zeros allowed).
bool ParseDotted(const QString &text, std::array<int, 4> &fields) {
    QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (int i = 0; i < 4; ++i) {
        const QString &part = parts[i];
        if (part.isEmpty() || part.size() > 3) return false;
        bool ok = false;
        int value = part.toInt(&ok, 10);
        if (!ok || value < 0 || value > 255 || part.startsWith(QLatin1Char('+')) ||
            part.startsWith(QLatin1Char('-')))
            return false;
        fields[static_cast<std::size_t>(i)] = value;
    }
    return true;
}

} // namespace

IpAddressEdit::IpAddressEdit(QWidget *parent) : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *validator = new QRegularExpressionValidator(OctetPattern(), this);
    for (int i = 0; i < 4; ++i) {
        auto *field = new QLineEdit(this);
        field->setValidator(validator);
        field->setMaxLength(3);
        field->setAlignment(Qt::AlignCenter);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        fields_[static_cast<std::size_t>(i)] = field;
        if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
        layout->addWidget(field, 1);
    }
    setFocusProxy(fields_[0]);
}

void IpAddressEdit::SetText(const QString &dotted) {
    std::array<int, 4> fields{};
    if (ParseDotted(dotted.trimmed(), fields))
        SetFields(fields);
    else
        Clear();
}

QString IpAddressEdit::Text() const {
    if (IsBlank()) return {};
    std::array<int, 4> f = Fields();
    return QStringLiteral("%1.%2.%3.%4").arg(f[0]).arg(f[1]).arg(f[2]).arg(f[3]);
}

bool IpAddressEdit::IsBlank() const {
    for (QLineEdit *field : fields_)
        if (!field->text().isEmpty()) return false;
    return true;
}

std::array<int, 4> IpAddressEdit::Fields() const {
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < 4; ++i) values[i] = fields_[i]->text().toInt(); // "" reads as 0
    return values;
}

void IpAddressEdit::SetFields(const std::array<int, 4> &fields) {
    for (std::size_t i = 0; i < 4; ++i) fields_[i]->setText(QString::number(std::clamp(fields[i], 0, 255)));
}

void IpAddressEdit::Clear() {
    for (QLineEdit *field : fields_) field->clear();
}

void IpAddressEdit::SetReadOnly(bool read_only) {
    for (QLineEdit *field : fields_) field->setReadOnly(read_only);
}

bool IpAddressEdit::eventFilter(QObject *watched, QEvent *event) {
    int index = IndexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    QLineEdit *field = fields_[static_cast<std::size_t>(index)];
    switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
        if (!field->text().isEmpty() && index < 3) FocusField(index + 1, false);
        return true;
    case Qt::Key_Backspace:
        if (field->text().isEmpty() && index > 0) {
            FocusField(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Left:
        if (field->cursorPosition() == 0 && index > 0) {
            FocusField(index - 1, true);
            return true;
        }
        break;
    case Qt::Key_Right:
        if (field->cursorPosition() == field->text().size() && index < 3) {
            FocusField(index + 1, false);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

int IpAddressEdit::IndexOf(QObject *field) const {
    for (int i = 0; i < 4; ++i)
        if (fields_[static_cast<std::size_t>(i)] == field) return i;
    return -1;
}

void IpAddressEdit::FocusField(int index, bool at_end) {
    QLineEdit *field = fields_[static_cast<std::size_t>(index)];
    field->setFocus();
    if (at_end)
        field->setCursorPosition(static_cast<int>(field->text().size()));
    else
        field->selectAll();
}

void IpAddressEdit::OnFieldEdited(int index) {
    if (fields_[static_cast<std::size_t>(index)]->text().size() == 3 && index < 3) FocusField(index + 1, false);
    emit Edited();
}

} // namespace talvo
