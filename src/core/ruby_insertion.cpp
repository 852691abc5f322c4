#include "core/ruby_insertion.h"

#include "text/cp932.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Core::Ruby {
namespace {

constexpr QStringView kOpen = u"`r";
constexpr QStringView kClose = u"`s";

// Scanning forward from `at`, a closing mark comes before a line end or an opening mark.
bool insideReading(QStringView t, qsizetype at) {
    for (qsizetype i = at; i + 1 < t.size(); ++i) {
        if (t[i] == u'\n') return false;
        const QStringView two = t.sliced(i, 2);
        if (two == kClose) return true;
        if (two == kOpen) return false;
    }
    return false;
}

}  // namespace

QString Token(QStringView reading) { return kOpen.toString() + reading.toString() + kClose.toString(); }

QList<Edit> Annotate(QStringView window, bool atTextStart, QStringView base, QStringView reading) {
    QList<Edit> edits;
    if (base.isEmpty()) return edits;
    QString t = window.toString();
    const QString token = Token(reading);
    qsizetype from = 0;
    for (;;) {
        qsizetype i = t.indexOf(base, from, Qt::CaseSensitive);
        if (i < 0) break;
        if (atTextStart && Cp932::byteLength(QStringView(t).first(i)) <= 1) break;
        if ((i > 0 && t[i - 1] == u'`') || insideReading(t, i)) {
            from = i + base.size();
            continue;
        }
        Edit e{int(i), 0, token};
        if (QStringView(t).first(i).endsWith(kClose)) {
            // The older reading of the same base goes: one base, one reading.
            const qsizetype open = QStringView(t).first(i - kClose.size()).lastIndexOf(kOpen);
            if (open >= 0) {
                e.position = int(open);
                e.removed = int(i - open);
            }
        }
        t.replace(e.position, e.removed, e.inserted);
        edits << e;
        from = e.position + token.size() + base.size();
    }
    return edits;
}

int AnnotateRecord(QTextDocument& doc, int lines, QStringView base, QStringView reading) {
    QTextBlock first = doc.lastBlock();
    if (first.text().isEmpty() && first.previous().isValid()) first = first.previous();
    for (int i = 1; i < lines && first.previous().isValid(); ++i) first = first.previous();
    const int start = first.position();
    QTextCursor c(&doc);
    c.setPosition(start);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    const QString window = c.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    const QList<Edit> edits = Annotate(window, start == 0, base, reading);
    if (edits.isEmpty()) return 0;
    c.beginEditBlock();
    for (const Edit& e : edits) {
        c.setPosition(start + e.position);
        c.setPosition(start + e.position + e.removed, QTextCursor::KeepAnchor);
        c.insertText(e.inserted);
    }
    c.endEditBlock();
    return int(edits.size());
}

}  // namespace Core::Ruby
