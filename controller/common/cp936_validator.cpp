#include "common/cp936_validator.h"

#include <QLineEdit>

#include "common/cp936.h"

namespace talvo {

QValidator::State Cp936Validator::validate(QString &input, int &) const {
    const QByteArray bytes = ToCp936(input);
    if (bytes.size() > max_bytes_ || FromCp936(bytes) != input) return Invalid;
    return Acceptable;
}

void LimitToCp936Bytes(QLineEdit *edit, int max_bytes) { edit->setValidator(new Cp936Validator(max_bytes, edit)); }

} // namespace talvo
