// The code page 936 boundary of talvoctl. The library keeps and passes every
// text as CP936 (GBK) bytes; the terminal speaks UTF-8. Arguments are turned
// into CP936 on their way in and record fields into UTF-8 on their way out,
// here and nowhere else.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace talvoctl {

// `utf8` as CP936 bytes; nothing when it is no valid UTF-8 or holds a
// character that CP936 cannot write.
std::optional<std::string> Utf8ToCp936(std::string_view utf8);

// `cp936` as UTF-8. A byte sequence that is no CP936 character becomes U+FFFD,
// so nothing is dropped silently.
std::string Cp936ToUtf8(std::string_view cp936);

// The bytes of a record field of `width` bytes, up to its terminator and
// never past the field when the terminator is missing (CP936, unconverted).
std::string FieldBytes(const char *field, std::size_t width);
template <std::size_t N>
std::string FieldBytes(const char (&field)[N]) {
    return FieldBytes(field, N);
}

// The same text as UTF-8.
std::string FieldToUtf8(const char *field, std::size_t width);
template <std::size_t N>
std::string FieldToUtf8(const char (&field)[N]) {
    return FieldToUtf8(field, N);
}

// The CP936 bytes of an argument that must fit `max_bytes` bytes. Throws a
// parameter failure naming `what` when the text cannot be written in CP936
// or is too long.
std::string ArgumentToCp936(const std::string &utf8, const std::string &what, std::size_t max_bytes);

// Writes an argument into a record field of N bytes (terminator included),
// with the checks of ArgumentToCp936.
void ArgumentToField(char *field, std::size_t width, const std::string &utf8, const std::string &what);
template <std::size_t N>
void ArgumentToField(char (&field)[N], const std::string &utf8, const std::string &what) {
    ArgumentToField(field, N, utf8, what);
}

// Columns a UTF-8 text takes on a terminal: East Asian wide and full-width
// characters take two, combining marks none, everything else one.
std::size_t DisplayWidth(std::string_view utf8);

} // namespace talvoctl
