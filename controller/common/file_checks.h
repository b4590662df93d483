// Checks of a file the operator chose for a device: its extension, name,
// size and, for images, its decoded resolution.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

namespace talvo {

// `path` as the bytes the library opens: the file system's own encoding.
QByteArray LibraryPath(const QString &path);

// True when the text after the last '.' of `path` is exactly `extension`
// (letter case counts); false when there is no '.'.
bool HasExtension(const QString &path, const QString &extension);

// The text after the last path separator ('/' or '\'), the whole path when
// there is none.
QString FileNameOf(const QString &path);

// Size in bytes as the file system reports it; nothing when the file's
// status cannot be read.
std::optional<qint64> FileSize(const QString &path);

// The library's digest of the file (32 lower-case hex digits); nothing when
// the file cannot be read.
std::optional<QByteArray> FileMd5(const QString &path);

// Pixel size of the decoded image; 0 x 0 when it cannot be decoded.
QSize DecodedImageSize(const QString &path);

} // namespace talvo
