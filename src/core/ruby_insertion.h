#pragma once
// Ruby received from a partner, applied to the end of the own display: the reading, marked as
// "`r" reading "`s", goes before each occurrence of the base text in the last lines, once per
// base: an occurrence inside an existing reading is left alone, and a base that already carries a
// reading gets the new one instead of a second.
#include <QList>
#include <QString>
#include <QStringView>

class QTextDocument;

namespace Core::Ruby {

QString Token(QStringView reading);  // "`r" reading "`s"

// One change of the search window, in the coordinates of the text as changed so far: `removed`
// characters at `position` are replaced by `inserted`.
struct Edit {
    int position = 0;
    int removed = 0;
    QString inserted;
};

// The changes that annotate `window` (the end of the display text, lines joined by "\n").
// `atTextStart`: the window begins at the start of the display text, where a match in the first
// byte or two ends the search.
QList<Edit> Annotate(QStringView window, bool atTextStart, QStringView base, QStringView reading);

// Annotates the record's last `lines` lines (the empty place after a final line break does not
// count); returns how many readings were put in. The changes are one edit of the document.
int AnnotateRecord(QTextDocument& doc, int lines, QStringView base, QStringView reading);

}  // namespace Core::Ruby
