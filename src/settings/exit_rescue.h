#pragma once
// The save at exit where no one can answer (a termination signal, the end of the desktop session):
// a text that the program folder refuses goes to the user's data folder instead, and a note there
// tells the next start where it went, or that it could not be saved at all. Only texts the exit
// save was asked to write come here: nothing is kept that the user did not ask to keep.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Settings {

// The note's file in the data folder: code page 932 lines, read and removed at the next start.
QString rescueNoteName();  // "終了時保存の報告.txt"

struct RescuedText {
    QString what;         // "表示文", "連絡文"
    QString name;         // its file name, as in the program folder
    QList<QByteArray> lines;
};

// `text`, refused at `failedPath` for `failure` (a reason in words), written to `rescueFolder`
// (created when missing; "" for none), with a line in the note that says where it went or that it
// was lost, stamped `when`. Returns the path written, or "" when it could not be written anywhere.
QString rescueText(const RescuedText& text, const QString& failedPath, const QString& failure,
                   const QString& rescueFolder, const QString& when);

// The note's lines, oldest first, and the note removed; none when there is none.
QStringList takeRescueNotes(const QString& rescueFolder);

}  // namespace Settings
