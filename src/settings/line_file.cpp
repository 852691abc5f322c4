#include "settings/line_file.h"

#include <QFile>
#include <QSaveFile>

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

std::optional<QList<QByteArray>> readLines(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    return splitLines(bytes);
}

bool writeLines(const QString& path, const QList<QByteArray>& lines, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const QByteArray bytes = joinLines(lines);
    if (file.write(bytes) != bytes.size()) {
        if (error) *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {  // flushes and syncs, then renames over the old file
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace Settings
