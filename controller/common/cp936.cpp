#include "common/cp936.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace talvo {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Ready()) iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool Ready() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`; every input sequence iconv refuses is skipped by
    // `skip(sequence, left)` bytes and replaced by `replacement`.
    template <class Skip>
    QByteArray Run(const QByteArray &in, std::size_t out_per_byte, const QByteArray &replacement, Skip skip) {
        QByteArray out;
        if (!Ready() || in.isEmpty()) return out;
        out.resize(static_cast<qsizetype>(in.size() * out_per_byte + 8));
        char *src = const_cast<char *>(in.constData());
        std::size_t src_left = static_cast<std::size_t>(in.size());
        char *dst = out.data();
        std::size_t dst_left = static_cast<std::size_t>(out.size());
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (src_left > 0) {
            if (iconv(cd_, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
            if (errno != EILSEQ && errno != EINVAL) break; // E2BIG cannot happen: the room is worst case
            std::size_t n = std::min(skip(src, src_left), src_left);
            src += n;
            src_left -= n;
            std::memcpy(dst, replacement.constData(), static_cast<std::size_t>(replacement.size()));
            dst += replacement.size();
            dst_left -= static_cast<std::size_t>(replacement.size());
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.truncate(static_cast<qsizetype>(dst - out.data()));
        return out;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead`.
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

bool IsCp936LeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

} // namespace

QByteArray ToCp936(const QString &text) {
    thread_local Converter converter("CP936", "UTF-8");
    // UTF-8 never grows into CP936: one to four bytes become one or two.
    return converter.Run(text.toUtf8(), 1, "?", [](const char *at, std::size_t) {
        return Utf8SequenceLength(static_cast<unsigned char>(*at));
    });
}

QString FromCp936(const QByteArray &bytes) {
    thread_local Converter converter("UTF-8", "CP936");
    // One CP936 byte may become three UTF-8 bytes (0x80, the euro sign).
    QByteArray utf8 = converter.Run(bytes, 3, "\xEF\xBF\xBD", [](const char *, std::size_t) {
        return std::size_t{1};
    });
    return QString::fromUtf8(utf8);
}

QByteArray FieldBytes(const char *field, std::size_t width) {
    if (field == nullptr || width == 0) return {};
    const void *end = std::memchr(field, '\0', width);
    std::size_t length = end ? static_cast<std::size_t>(static_cast<const char *>(end) - field) : width;
    return QByteArray(field, static_cast<qsizetype>(length));
}

bool WriteField(char *field, std::size_t width, const QByteArray &bytes) {
    if (field == nullptr || width == 0) return bytes.isEmpty();
    std::size_t room = width - 1;
    std::size_t length = 0;
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    while (length < size) {
        std::size_t next = IsCp936LeadByte(static_cast<unsigned char>(bytes[length])) ? 2 : 1;
        if (length + next > room || length + next > size) break;
        length += next;
    }
    std::memset(field, 0, width);
    std::memcpy(field, bytes.constData(), length);
    return length == size;
}

} // namespace talvo
