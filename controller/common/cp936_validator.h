// An entry whose text goes into a fixed-width record field: it accepts no
// more code page 936 bytes than the field holds, and no character that code
// page 936 cannot write, so what is saved is exactly what was typed and
// nothing is cut or spills into the next field.
#pragma once

#include <QValidator>

class QLineEdit;

namespace talvo {

class Cp936Validator : public QValidator {
    Q_OBJECT

  public:
    Cp936Validator(int max_bytes, QObject *parent) : QValidator(parent), max_bytes_(max_bytes) {}
    State validate(QString &input, int &position) const override;

  private:
    int max_bytes_;
};

// Limits `edit` to `max_bytes` CP936 bytes (a field of max_bytes + 1).
void LimitToCp936Bytes(QLineEdit *edit, int max_bytes);

} // namespace talvo
