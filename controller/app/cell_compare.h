// How the device lists show durations and order their columns. The cells hold
// the texts exactly as shown, in code page 936 bytes, and every comparison
// works on those bytes, so a sort orders rows as the texts read.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace talvo {

// "%02d:%02d:%02d" below one day, "%d天%02d:%02d:%02d" from one day on.
QString FormatDuration(std::uint32_t seconds);

enum class CompareKind {
    None,            // not sortable
    Text,            // byte-wise
    Ipv4,            // four decimal numbers, in order
    VersionThenText, // three version numbers, equal ones by text
    Duration,        // as FormatDuration writes them
    Integer,         // decimal value
};

// Ascending order: negative puts `a` before `b`, zero is equal, positive after.
int CompareCells(CompareKind kind, const QByteArray &a, const QByteArray &b);

} // namespace talvo
