#include "settings/exit_rescue.h"

#include "settings/line_file.h"
#include "text/cp932.h"

#include <QDir>
#include <QFile>

namespace Settings {

QString rescueNoteName() { return QStringLiteral("終了時保存の報告.txt"); }

namespace {

// The note grows by whole lines: the old lines and the new one replace the old note together.
void addNote(const QString& folder, const QString& line) {
    if (folder.isEmpty()) return;
    const QString path = QDir(folder).filePath(rescueNoteName());
    QList<QByteArray> lines = readLines(path).value_or(QList<QByteArray>{});
    lines << Cp932::encode(line);
    writeLines(path, lines);
}

// A reason set inside brackets, without its own full stop.
QString bracketed(QString reason) {
    if (reason.endsWith(u'。')) reason.chop(1);
    return QStringLiteral("（%1）").arg(reason);
}

}  // namespace

QString rescueText(const RescuedText& text, const QString& failedPath, const QString& failure,
                   const QString& rescueFolder, const QString& when) {
    const QString refused = QStringLiteral("%1 終了時の%2を %3 に保存できませんでした%4")
                                .arg(when, text.what, QDir::toNativeSeparators(failedPath), bracketed(failure));
    QString error;
    const QString target = rescueFolder.isEmpty() ? QString() : QDir(rescueFolder).filePath(text.name);
    const bool elsewhere = !target.isEmpty() && QDir::cleanPath(target) != QDir::cleanPath(failedPath) &&
                           QDir().mkpath(rescueFolder) && writeLines(target, text.lines, &error);
    if (elsewhere) {
        addNote(rescueFolder, refused + QStringLiteral("。代わりに %1 に保存しました。").arg(QDir::toNativeSeparators(target)));
        return target;
    }
    // Not saved anywhere: at least the next start says so, if the note still fits.
    addNote(rescueFolder, refused + QStringLiteral("。ほかの場所にも保存できませんでした") +
                              (error.isEmpty() ? QString() : bracketed(error)) + u'。');
    return {};
}

QStringList takeRescueNotes(const QString& rescueFolder) {
    if (rescueFolder.isEmpty()) return {};
    const QString path = QDir(rescueFolder).filePath(rescueNoteName());
    const auto lines = readLines(path);
    if (!lines) return {};
    QFile::remove(path);
    QStringList out;
    for (const QByteArray& l : *lines)
        if (!l.isEmpty()) out << Cp932::decode(l);
    return out;
}

}  // namespace Settings
