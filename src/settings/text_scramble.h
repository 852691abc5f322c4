#pragma once
// Scrambled saves of the display text. A password-keyed reordering and substitution of each line's
// characters that keeps every character of code page 932 a character of code page 932 of the same
// width, so a scrambled file is still a text file an editor opens. It is not the traffic
// scrambling: it is for files only, and it can be undone with the password.
//
// Characters are whole code page 932 characters; three alphabets substitute within themselves:
// the printable single-byte characters, the kana, and every other double-byte character that reads
// back as itself. Characters outside them (tabs, unassigned codes, user-defined characters) stay.
// The first line of the text goes out with a check character in front, which also tells a wrong
// password when the file is read back.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace Settings {

// The password when none is given.
inline constexpr char kDefaultSaveWord[] = "Quelta";

// Before each line of the two passes: the line's number (from 1), the line count, and whether it
// is the check pass (the pass over the plain text that comes before the output).
using ScrambleProgress = std::function<void(int line, int count, bool checking)>;

// The scrambled lines, in their scrambled order; no lines for no lines.
QList<QByteArray> scrambleText(const QList<QByteArray>& lines, QByteArrayView password,
                               const ScrambleProgress& progress = {});

// The plain lines back; nullopt when the lines were not scrambled with this password.
std::optional<QList<QByteArray>> unscrambleText(const QList<QByteArray>& lines, QByteArrayView password);

// Lines at the head of the display that are not caption text: empty lines, the start marker
// "文先頭　" and the mark of a periodic clear "継続保存".
bool isLeadingFiller(QStringView line);
inline constexpr int kLeadingFillerLines = 22;  // only the first lines are looked at
// The leading filler of `lines`, as line indexes from the last to the first: removing them in this
// order removes the filler (each index still means the same line when its turn comes).
QList<int> leadingFillerLines(const QStringList& lines);

}  // namespace Settings
