#include "app/cell_compare.h"

#include <QList>

#include <cstdio>
#include <cstdlib>

#include "common/cp936.h"

namespace talvo {
namespace {

int Sign(long long difference) { return difference < 0 ? -1 : (difference > 0 ? 1 : 0); }

int CompareText(const QByteArray &a, const QByteArray &b) { return Sign(a.compare(b)); }

// Leading decimal number of `text` from `at` on, as atoi reads it (0 when none).
long long LeadingNumber(const QByteArray &text, qsizetype at = 0) {
    long long value = 0;
    for (qsizetype i = at; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1000000000LL; ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

int CompareIpv4(const QByteArray &a, const QByteArray &b) {
    QList<QByteArray> left = a.split('.'), right = b.split('.');
    for (qsizetype i = 0; i < 4; ++i) {
        long long l = i < left.size() ? LeadingNumber(left[i]) : 0;
        long long r = i < right.size() ? LeadingNumber(right[i]) : 0;
        if (l != r) return Sign(l - r);
    }
    return 0;
}

// The three numbers of a version text "x.y.z"; in each part the characters
// before its first digit do not count (V1.3.4 reads 1, 3, 4). Writes the
// same lines to standard output as the program always has.
bool ParseVersion(const QByteArray &text, long long numbers[3]) {
    if (text.isEmpty() || text.size() > 63) return false;
    QList<QByteArray> parts = text.split('.');
    if (parts.size() != 3) {
        std::printf("version format is wrong!\n");
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        const QByteArray &part = parts[i];
        qsizetype digit = 0;
        while (digit < part.size() && (part[digit] < '0' || part[digit] > '9')) ++digit;
        numbers[i] = LeadingNumber(part, digit);
        std::printf("GetVersionID() iVerId[%d]: %d.\n", i, static_cast<int>(numbers[i]));
    }
    return true;
}

// A text that is no version sorts before every version, and such texts sort
// among themselves by text, so the order is the same whichever way two cells
// are compared.
int CompareVersion(const QByteArray &a, const QByteArray &b) {
    long long left[3] = {}, right[3] = {};
    bool left_ok = ParseVersion(a, left);
    bool right_ok = left_ok && ParseVersion(b, right);
    if (!left_ok || !right_ok) {
        std::printf("GetVersionID() failed, oldversion:%s.\n", a.constData());
        if (left_ok) return 1;
        if (!ParseVersion(b, right)) return CompareText(a, b);
        return -1;
    }
    for (int i = 0; i < 3; ++i)
        if (left[i] != right[i]) return Sign(left[i] - right[i]);
    return CompareText(a, b);
}

const QByteArray &DayMark() {
    static const QByteArray mark = ToCp936(QStringLiteral("天"));
    return mark;
}

int CompareDuration(const QByteArray &a, const QByteArray &b) {
    qsizetype left_mark = a.indexOf(DayMark()), right_mark = b.indexOf(DayMark());
    if (left_mark < 0 && right_mark < 0) return CompareText(a, b);
    if (left_mark < 0) return -1;
    if (right_mark < 0) return 1;
    long long left_days = LeadingNumber(a), right_days = LeadingNumber(b);
    if (left_days != right_days) return Sign(left_days - right_days);
    return CompareText(a.mid(left_mark + DayMark().size()), b.mid(right_mark + DayMark().size()));
}

int CompareInteger(const QByteArray &a, const QByteArray &b) {
    return Sign(std::atoll(a.constData()) - std::atoll(b.constData()));
}

} // namespace

QString FormatDuration(std::uint32_t seconds) {
    const std::uint32_t s = seconds;
    QString time = QString::asprintf("%02u:%02u:%02u", (s % 86400) / 3600, (s % 3600) / 60, s % 60);
    if (s < 86400) return time;
    return QString::number(s / 86400) + QStringLiteral("天") + time;
}

int CompareCells(CompareKind kind, const QByteArray &a, const QByteArray &b) {
    switch (kind) {
    case CompareKind::None:
        return 0;
    case CompareKind::Text:
        return CompareText(a, b);
    case CompareKind::Ipv4:
        return CompareIpv4(a, b);
    case CompareKind::VersionThenText:
        return CompareVersion(a, b);
    case CompareKind::Duration:
        return CompareDuration(a, b);
    case CompareKind::Integer:
        return CompareInteger(a, b);
    }
    return 0;
}

} // namespace talvo
