#pragma once
// Column counting of the fixed-width split: every byte is one column, except that a ruby reading
// ("`r" reading "`s") and any other "`" with the byte after it count nothing.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace Core {

// Counted columns of a code page 932 text.
qsizetype Columns(QByteArrayView text);
// Bytes from the start that hold the first n counted columns (the whole text when it has fewer).
qsizetype CutAt(QByteArrayView text, qsizetype n);
// Columns(text), but at most n.
qsizetype ColumnsUpTo(QByteArrayView text, qsizetype n);

// The pieces that the fixed-width split appends, in order, for `text` after the record's last
// line `lastLine`, at width W. In blank-line-only mode a piece is appended to the last line and
// an empty piece starts a new line; otherwise each piece is a new line.
QList<QByteArray> SplitFixedWidth(QByteArrayView lastLine, QByteArrayView text, qsizetype width, bool blankLineOnly);

}  // namespace Core
