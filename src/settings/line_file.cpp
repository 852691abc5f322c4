#include "settings/line_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Settings {

QList<QByteArray> splitLines(QByteArrayView bytes) {
    QList<QByteArray> lines;
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.append(bytes.sliced(start, i - start).toByteArray());
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(bytes.sliced(start).toByteArray());
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines) {
    qsizetype total = 0;
    for (const QByteArray& line : lines) total += line.size() + 2;
    QByteArray out;
    out.reserve(total);
    for (const QByteArray& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

namespace {

// Why a file could not be read, in words (the system's own texts are English).
QString readFailureText(const QString& path, int errorNumber) {
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("ファイルが見つかりません。");
    if (info.isDir()) return QStringLiteral("ファイルではなくフォルダです。");
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("ファイルを読む権限がありません。");
    case EIO:
        return QStringLiteral("ディスクの読み込みに失敗しました（ディスクやＵＳＢメモリの不具合かもしれません）。");
    default:
        return QStringLiteral("ファイルを読み込めませんでした（エラー番号 %1）。").arg(errorNumber);
    }
}

}  // namespace

std::optional<QList<QByteArray>> readLines(const QString& path, QString* error) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = readFailureText(path, errno);
        return std::nullopt;
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = readFailureText(path, errno);
        return std::nullopt;
    }
    return splitLines(bytes);
}

QString writeFailureText(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクがいっぱいです（空き容量がありません）。");
    case EROFS:
        return QStringLiteral("保存先は読み取り専用で、書き込めません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("保存先のフォルダに書き込む権限がありません。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("保存先のフォルダが見つかりません。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあるため、ファイルを作れません。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて書き込めません。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました（ディスクやＵＳＢメモリの不具合かもしれません）。");
    default:
        return QStringLiteral("ディスクに書き込めませんでした（エラー番号 %1）。").arg(errorNumber);
    }
}

int writeFailureAt(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return EISDIR;
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    struct statvfs fs = {};
    if (::statvfs(folder.constData(), &fs) != 0) return errno;
    if (fs.f_flag & ST_RDONLY) return EROFS;
    if (::access(folder.constData(), W_OK) != 0) return errno;
    if (fs.f_bavail == 0 || (fs.f_files > 0 && fs.f_favail == 0)) return ENOSPC;
    return 0;
}

FileReplacement::FileReplacement(const QString& path) : path_(path), file_(path) {}

bool FileReplacement::open() {
    if (file_.isOpen()) return true;
    errno = 0;
    return file_.open(QIODevice::WriteOnly) || fail(errno);
}

bool FileReplacement::write(QByteArrayView bytes) {
    if (!error_.isEmpty() || !open()) return false;
    errno = 0;
    if (file_.write(bytes.data(), bytes.size()) != bytes.size()) return fail(errno);
    errno = 0;
    if (!file_.flush() || file_.error() != QFileDevice::NoError) return fail(errno);
    return true;
}

bool FileReplacement::commit() {
    if (!error_.isEmpty() || !open()) return false;
    errno = 0;
    if (file_.error() != QFileDevice::NoError || !file_.commit()) return fail(errno);  // syncs, then renames
    return true;
}

// The place itself says most reliably why it refuses files (the error number may have been
// overwritten by Qt's own calls on the way); the error number tells what the place no longer
// shows, such as a disk that was full only while the file was being written.
bool FileReplacement::fail(int errorNumber) {
    if (file_.isOpen()) file_.cancelWriting();
    const int found = writeFailureAt(path_);
    int cause = errorNumber;
    if (found != 0 && found != ENOSPC) cause = found;
    else if (found == ENOSPC && errorNumber != EDQUOT && errorNumber != EFBIG && errorNumber != EIO) cause = ENOSPC;
    error_ = writeFailureText(cause);
    return false;
}

bool writeFile(const QString& path, QByteArrayView bytes, QString* error) {
    FileReplacement file(path);
    if (file.write(bytes) && file.commit()) return true;
    if (error) *error = file.error();
    return false;
}

bool writeLines(const QString& path, const QList<QByteArray>& lines, QString* error) {
    return writeFile(path, joinLines(lines), error);
}

}  // namespace Settings
