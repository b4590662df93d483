#include "common/encoding.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/failure.h"

namespace talvoctl {
namespace {

// An iconv conversion descriptor; null when it could not be opened.
struct CloseDescriptor {
    void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Descriptor = std::unique_ptr<void, CloseDescriptor>;

Descriptor OpenDescriptor(const char *to, const char *from) {
    iconv_t cd = iconv_open(to, from);
    return Descriptor(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Converts as much of `in` as iconv takes; `in` and `left` say where it
// stopped (left 0 when all of it was converted). `room_per_byte` is the most
// output bytes one input byte can give.
std::string Convert(const Descriptor &descriptor, const char *&in, std::size_t &left, std::size_t room_per_byte) {
    auto cd = static_cast<iconv_t>(descriptor.get());
    std::string out(left * room_per_byte + 8, '\0');
    char *src = const_cast<char *>(in);
    char *dst = out.data();
    std::size_t dst_left = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &src, &left, &dst, &dst_left);
    in = src;
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

bool IsCombining(std::uint32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200B;
}

bool IsWide(std::uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

// The next code point of `text` from `at`, which moves past it; an invalid
// byte counts as one code point of its own.
std::uint32_t NextCodePoint(std::string_view text, std::size_t &at) {
    unsigned char lead = static_cast<unsigned char>(text[at++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    std::uint32_t c = more == 3 ? lead & 0x07u : more == 2 ? lead & 0x0Fu : more == 1 ? lead & 0x1Fu : lead;
    while (more-- > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3Fu);
    }
    return c;
}

} // namespace

std::optional<std::string> Utf8ToCp936(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    // One descriptor per direction and thread, opened on first use.
    thread_local Descriptor descriptor = OpenDescriptor("CP936", "UTF-8");
    if (!descriptor) return std::nullopt;
    const char *in = utf8.data();
    std::size_t left = utf8.size();
    // UTF-8 never grows into CP936: one to four bytes become one or two.
    std::string out = Convert(descriptor, in, left, 1);
    if (left != 0) return std::nullopt; // invalid UTF-8, or a character CP936 cannot write
    return out;
}

std::string Cp936ToUtf8(std::string_view cp936) {
    thread_local Descriptor descriptor = OpenDescriptor("UTF-8", "CP936");
    std::string out;
    if (!descriptor) return out;
    const char *in = cp936.data();
    std::size_t left = cp936.size();
    while (left > 0) {
        // One CP936 byte may become three UTF-8 bytes (0x80, the euro sign).
        out += Convert(descriptor, in, left, 3);
        if (left == 0) break;
        out += "\xEF\xBF\xBD"; // the byte iconv refused
        ++in;
        --left;
    }
    return out;
}

std::string FieldBytes(const char *field, std::size_t width) {
    if (field == nullptr || width == 0) return {};
    const void *end = std::memchr(field, '\0', width);
    std::size_t length = end ? static_cast<std::size_t>(static_cast<const char *>(end) - field) : width;
    return std::string(field, length);
}

std::string FieldToUtf8(const char *field, std::size_t width) { return Cp936ToUtf8(FieldBytes(field, width)); }

std::string ArgumentToCp936(const std::string &utf8, const std::string &what, std::size_t max_bytes) {
    std::optional<std::string> bytes = Utf8ToCp936(utf8);
    if (!bytes) {
        throw ParameterFailure(what + " \"" + utf8 + "\" cannot be written in code page 936 (GBK)");
    }
    if (bytes->size() > max_bytes) {
        throw ParameterFailure(what + " is too long: at most " + std::to_string(max_bytes) +
                               " bytes in code page 936 (a Chinese character takes two)");
    }
    return *bytes;
}

void ArgumentToField(char *field, std::size_t width, const std::string &utf8, const std::string &what) {
    std::string bytes = ArgumentToCp936(utf8, what, width - 1);
    std::memset(field, 0, width);
    std::memcpy(field, bytes.data(), bytes.size());
}

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        std::uint32_t c = NextCodePoint(utf8, at);
        if (IsCombining(c)) continue;
        width += IsWide(c) ? 2 : 1;
    }
    return width;
}

} // namespace talvoctl
