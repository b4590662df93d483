// An IPv4 address entry: four fields of 0 to 255 between dots, and a blank
// state in which no field is filled in. A dot, or a field full with three
// digits, moves on to the next field; Backspace in an empty field goes back.
#pragma once

#include <QWidget>

#include <array>

class QLineEdit;

namespace talvo {

class IpAddressEdit : public QWidget {
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget *parent = nullptr);

    // Shows a dotted address "a.b.c.d" (each part 0 to 255). Any other text,
    // the empty text included, leaves the entry blank.
    void SetText(const QString &dotted);
    // "a.b.c.d" with an empty field read as 0; the empty text when blank.
    QString Text() const;

    bool IsBlank() const;
    // The four fields; an empty one reads as 0.
    std::array<int, 4> Fields() const;
    void SetFields(const std::array<int, 4> &fields);
    void Clear();

    void SetReadOnly(bool read_only);

    // The line edit of field `index` (0 to 3), for focus and tests.
    QLineEdit *Field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

signals:
    void Edited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int IndexOf(QObject *field) const;
    void FocusField(int index, bool at_end);
    void OnFieldEdited(int index);

    std::array<QLineEdit *, 4> fields_{};
};

} // namespace talvo
