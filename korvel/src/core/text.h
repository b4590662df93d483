// Helpers for the fixed-width, zero-terminated text fields of the records.
#pragma once

#include <cstddef>
#include <cstring>
#include <strings.h>

namespace korvel {

// Copies at most N - 1 bytes of `source` and terminates; a null source gives "".
template <size_t N>
void CopyText(char (&target)[N], const char *source) {
    size_t length = source == nullptr ? 0 : strnlen(source, N - 1);
    if (length > 0) std::memmove(target, source, length);
    target[length] = '\0';
}

inline bool IsEmpty(const char *text) { return text == nullptr || text[0] == '\0'; }

inline bool EqualsIgnoreCase(const char *a, const char *b) {
    return strcasecmp(a == nullptr ? "" : a, b == nullptr ? "" : b) == 0;
}

inline bool Equals(const char *a, const char *b) {
    return std::strcmp(a == nullptr ? "" : a, b == nullptr ? "" : b) == 0;
}

// Bounded text compare of two fields of the same width.
template <size_t N>
bool FieldEquals(const char (&a)[N], const char (&b)[N]) {
    return std::strncmp(a, b, N) == 0;
}

} // namespace korvel
