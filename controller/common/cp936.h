// The code page 936 boundary of the program. The library keeps and passes every
// text as CP936 (GBK) bytes, the windows work with QString; these functions are
// the only place where the two meet.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace talvo {

// CP936 bytes of `text`. A character that CP936 cannot hold becomes '?'.
QByteArray ToCp936(const QString &text);

// `bytes` read as CP936. A byte sequence that is no CP936 character becomes
// U+FFFD; nothing is dropped silently.
QString FromCp936(const QByteArray &bytes);

// The text of a record field of `width` bytes: up to its terminator, and never
// past the field when the terminator is missing.
QByteArray FieldBytes(const char *field, std::size_t width);
template <std::size_t N>
QByteArray FieldBytes(const char (&field)[N]) {
    return FieldBytes(field, N);
}
template <std::size_t N>
QString FieldText(const char (&field)[N]) {
    return FromCp936(FieldBytes(field, N));
}

// Writes `bytes` into a record field of `width` bytes, always zero-terminated.
// A text that does not fit is cut before the first character that would not
// fit whole, so no double-byte character is split. True when all of it fit.
bool WriteField(char *field, std::size_t width, const QByteArray &bytes);
template <std::size_t N>
bool WriteField(char (&field)[N], const QByteArray &bytes) {
    return WriteField(field, N, bytes);
}
template <std::size_t N>
bool WriteField(char (&field)[N], const QString &text) {
    return WriteField(field, N, ToCp936(text));
}

} // namespace talvo
