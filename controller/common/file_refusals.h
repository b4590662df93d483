// The refusals of a file the operator chose. Each check shows its one
// notice and returns true when it refuses, so that a page lists its checks
// in its own order:
//
//     if (RefuseEmptyPath(this, path) || RefuseMissingFile(this, path)) return;
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QWidget;

namespace talvo {

// No file chosen: "请先选择文件！".
bool RefuseEmptyPath(QWidget *page, const QString &path);

// The text after the last '.' is not exactly `extension`, or there is no '.'.
bool RefuseWrongExtension(QWidget *page, const QString &path, const char *extension, const char *message);

// The file's status cannot be read: "文件不存在！\n".
bool RefuseMissingFile(QWidget *page, const QString &path);

// The file is larger than `largest` bytes (a file of exactly that size passes).
bool RefuseLargerThan(QWidget *page, const QString &path, qint64 largest, const char *message);

// The library's digest of the file; nothing, after the notice "文件不存在！",
// when the file cannot be read.
std::optional<QByteArray> DigestOrRefuse(QWidget *page, const QString &path);

} // namespace talvo
