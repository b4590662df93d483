#include "common/file_checks.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <algorithm>

#include "common/busy_cursor.h"
#include "korvel.h"

namespace talvo {

QByteArray LibraryPath(const QString &path) { return QFile::encodeName(path); }

bool HasExtension(const QString &path, const QString &extension) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && path.mid(dot + 1) == extension;
}

QString FileNameOf(const QString &path) {
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(separator + 1);
}

std::optional<qint64> FileSize(const QString &path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return std::nullopt;
    return info.size();
}

std::optional<QByteArray> FileMd5(const QString &path) {
    char md5[33] = {};
    BusyCursor busy;
    if (ZR_QM_CalcFileMD5(md5, LibraryPath(path).constData()) != 0) return std::nullopt;
    return QByteArray(md5);
}

QSize DecodedImageSize(const QString &path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    return image.isNull() ? QSize(0, 0) : image.size();
}

} // namespace talvo
