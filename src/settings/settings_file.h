#pragma once
// The numbered settings file as lines of code page 932 bytes: the writer that turns a key table
// into the file's lines (`WriteSettings`) and the reader that applies lines back through the
// table (`ApplySettings`). Loading, saving and the line buffer belong to the callers.
#include "settings/key_table.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace Settings {

QByteArray headerLine();            // "999:＜番号付き表示設定ファイル２＞"
QString versionMismatchText();      // "表示設定ファイルのバージョンが違います"

// One record: the key with three digits, ":", the value, ":", the comment.
QByteArray recordLine(int key, QByteArrayView value, QByteArrayView comment);

// A record's key (none when it is not a decimal integer) and value (empty for a line without a colon).
struct RecordFields {
    std::optional<qint32> key;
    QByteArrayView value;
};
RecordFields splitRecord(QByteArrayView line);

// The three lines the save operations append after `WriteSettings`, in this order.
QByteArray channelLine(int channelIndex);      // "801:<index>:チャンネル", index 0 for "1ch"
QByteArray groupLine(int group);               // "802:<group>:班", 1 for "Ａ班"
QByteArray ownNameLine(QByteArrayView name);   // "166:<name>:自分のパソコンのホスト名（最後に書く）"

// The keys the writer emits, in file order: 121 first, then ascending with 006 before 005,
// 012 before 011 and 193 after 195–197. Entries without `read` are left out, except 030 and 709,
// which are fixed lines; 071, 072, 139, the commands, 801, 802 and 166 are never written here.
QList<int> writeOrder(const KeyTable& table);

// Appends the header and one line per written key to `lines` (which it does not clear).
void WriteSettings(const KeyTable& table, QList<QByteArray>& lines);

// A line that stopped the applying: its key or its Int/Colour value is not a decimal integer.
struct ApplyError {
    enum class Cause { Key, Value };
    int line = 0;      // counted from 1, the header being line 1
    QByteArray text;   // the line as it was read
    Cause cause = Cause::Key;
};

struct ApplyResult {
    bool headerOk = false;
    int applied = 0;                   // records handed to an entry's `apply`
    std::optional<ApplyError> error;   // the lines before it stay applied, the rest is not applied
};

// Receives the line for the explanation page when the header is wrong or missing.
using ExplainSink = std::function<void(const QString&)>;

// Checks the header, then applies each record in file order through its entry: unknown keys are
// skipped, a later line with the same key wins, 802 with an empty value is ignored, a line
// without a colon has an empty value. An entry marked `valueToLastColon` takes everything between
// the line's first and last colon (all the rest when there is no second colon). `lines` must not change while it runs.
ApplyResult ApplySettings(const KeyTable& table, const QList<QByteArray>& lines, const ExplainSink& explain = {});

// The key of a record line, or -1 when its first field is not a decimal integer.
int keyOf(QByteArrayView line);

// The one message a window shows for an ApplyError, naming the line.
QString describe(const ApplyError& error);

// The message for a file named `fileName` whose first line is not the header, or nullopt when it
// is: nothing of such a file is applied. A file saved again as UTF-8 (the commonest mistake) is
// named as such.
std::optional<QString> headerProblem(const QList<QByteArray>& lines, const QString& fileName);

}  // namespace Settings
