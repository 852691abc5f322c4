#include "core/columns.h"

#include "text/cp932.h"

namespace Core {
namespace {

// Walks the text; `visit(bytePos)` is called for every counted byte. Stops when visit says so.
// Only a single-byte "`" is markup: the second byte of a double-byte character may be 0x60 too.
template <typename Visit>
qsizetype walk(QByteArrayView t, Visit visit) {
    qsizetype i = 0;
    bool inReading = false;
    while (i < t.size()) {
        if (Cp932::isLeadByte(uchar(t[i])) && i + 1 < t.size()) {
            if (!inReading) {
                if (!visit(i)) return i;
                if (!visit(i + 1)) return i + 1;
            }
            i += 2;
            continue;
        }
        if (t[i] == '`' && i + 1 < t.size()) {
            const char next = t[i + 1];
            if (next == 'r') inReading = true;
            else if (next == 's') inReading = false;
            i += 2;  // "`r", "`s" and any other "`" pair count nothing
            continue;
        }
        if (t[i] == '`') return i + 1;  // a lone "`" at the very end counts nothing
        if (!inReading && !visit(i)) return i;
        ++i;
    }
    return i;
}

}  // namespace

qsizetype Columns(QByteArrayView text) {
    qsizetype n = 0;
    walk(text, [&](qsizetype) {
        ++n;
        return true;
    });
    return n;
}

qsizetype CutAt(QByteArrayView text, qsizetype n) {
    if (n <= 0) return 0;
    // The cut comes right after the nth counted byte: a ruby reading that follows belongs to the
    // word after it, so it goes with the next piece.
    qsizetype counted = 0, cut = text.size();
    walk(text, [&](qsizetype pos) {
        if (++counted == n) {
            cut = pos + 1;
            return false;
        }
        return true;
    });
    return cut;
}

qsizetype ColumnsUpTo(QByteArrayView text, qsizetype n) { return qMin(Columns(text), n); }

QList<QByteArray> SplitFixedWidth(QByteArrayView lastLine, QByteArrayView textIn, qsizetype W, bool blankOnly) {
    QList<QByteArray> pieces;
    QByteArray text = textIn.toByteArray();
    auto takeFront = [&](qsizetype n) {
        qsizetype cut = Cp932::safeCut(text, n);
        // A width smaller than one double-byte character still moves on by one character.
        if (cut == 0 && n > 0 && !text.isEmpty()) cut = qMin<qsizetype>(Cp932::isLeadByte(uchar(text[0])) ? 2 : 1, text.size());
        pieces << text.left(cut);
        text.remove(0, cut);
    };
    if (W <= 0) {
        pieces << text;
        return pieces;
    }
    if (blankOnly) {
        const QByteArray joined = lastLine.toByteArray() + text;
        if (CutAt(joined, W) >= joined.size()) {
            pieces << text;
            return pieces;
        }
        const qsizetype used = ColumnsUpTo(lastLine, W);
        if (used < W) takeFront(CutAt(text, W - used));
        if (!text.isEmpty()) pieces << QByteArray();
    }
    // Repeat … until fewer than W columns remain. The loop runs at least once, so an empty text
    // still gives its one empty line; each further pass takes at least one character.
    do {
        takeFront(CutAt(text, W));
        if (blankOnly && Columns(text) >= W) pieces << QByteArray();
    } while (!text.isEmpty() && Columns(text) >= W);
    if (!text.isEmpty()) {
        if (blankOnly) pieces << QByteArray();
        pieces << text;
    }
    return pieces;
}

}  // namespace Core
