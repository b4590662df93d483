#include "common/file_refusals.h"

#include "common/file_checks.h"
#include "common/prompt.h"

namespace talvo {
namespace {

bool Refuse(QWidget *page, const QString &message) {
    Notice(page, message);
    return true;
}

} // namespace

bool RefuseEmptyPath(QWidget *page, const QString &path) {
    return path.isEmpty() && Refuse(page, QStringLiteral("请先选择文件！"));
}

bool RefuseWrongExtension(QWidget *page, const QString &path, const char *extension, const char *message) {
    return !HasExtension(path, QString::fromUtf8(extension)) && Refuse(page, QString::fromUtf8(message));
}

bool RefuseMissingFile(QWidget *page, const QString &path) {
    return !FileSize(path) && Refuse(page, QStringLiteral("文件不存在！\n"));
}

bool RefuseLargerThan(QWidget *page, const QString &path, qint64 largest, const char *message) {
    return FileSize(path).value_or(0) > largest && Refuse(page, QString::fromUtf8(message));
}

std::optional<QByteArray> DigestOrRefuse(QWidget *page, const QString &path) {
    std::optional<QByteArray> md5 = FileMd5(path);
    if (!md5) Notice(page, QStringLiteral("文件不存在！"));
    return md5;
}

} // namespace talvo
