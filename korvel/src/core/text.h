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

// Length of the longest prefix of `text` of at most `max_bytes` bytes that
// ends at a character boundary of code page 936: a lead byte 0x81..0xFE
// followed by a trail byte 0x40..0xFE (not 0x7F) is one character, any other
// byte is one on its own.
inline size_t Cp936PrefixLength(const char *text, size_t max_bytes) {
    if (text == nullptr) return 0;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    size_t length = 0;
    while (bytes[length] != 0) {
        unsigned char lead = bytes[length], trail = bytes[length + 1];
        bool pair = lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
        size_t width = pair ? 2 : 1;
        if (length + width > max_bytes) break;
        length += width;
    }
    return length;
}

// Bounded text compare of two fields of the same width.
template <size_t N>
bool FieldEquals(const char (&a)[N], const char (&b)[N]) {
    return std::strncmp(a, b, N) == 0;
}

} // namespace korvel
