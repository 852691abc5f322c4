#include "core/preroll.h"

#include "text/cp932.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Core::Preroll {
namespace {

// End of a block's text (before its line end).
int blockEnd(const QTextBlock& b) { return b.position() + b.length() - 1; }

// Where the line after `b` starts, or the end of `b` when it is the last line.
int nextLineStart(const QTextBlock& b) {
    const QTextBlock n = b.next();
    return n.isValid() ? n.position() : blockEnd(b);
}

QByteArray lineBytes(const QString& text) {
    const QByteArray bytes = Cp932::encode(text);
    return bytes.size() >= kLineLimit ? Cp932::encode(TooLongWarning()) : bytes;
}

void removeRange(QTextDocument& doc, int from, int to) {
    if (to <= from) return;
    QTextCursor c(&doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    c.removeSelectedText();
}

void insertAt(QTextDocument& doc, int at, const QString& text) {
    QTextCursor c(&doc);
    c.setPosition(at);
    c.insertText(text);
}

// The caret moved on by `bytes` within its line: whole characters until that many bytes are
// passed, never beyond the line end.
int advancedBy(const QTextBlock& line, int caret, int bytes) {
    const QString text = line.text();
    int i = caret - line.position();
    int passed = 0;
    while (passed < bytes && i < text.size()) {
        const int w = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        passed += int(Cp932::byteLength(QStringView(text).sliced(i, w)));
        i += w;
    }
    return line.position() + i;
}

F1Result commentLine(const QTextBlock& b) {
    return {Taken::Comment, {b.position(), nextLineStart(b)}, true};
}

F1Result refused(int caret) { return {Taken::Refused, {caret, caret}, false}; }

F1Result wholeLine(QTextDocument& doc, const QTextBlock& b, int caret, const SendOptions& o, const Send& send) {
    const QString text = b.text();
    const int start = b.position();
    if (Cp932::byteLength(text) >= kLineLimit) return {Taken::TooLong, {}, false};
    if (!send(Cp932::encode(text))) return refused(caret);
    if (o.removeSent) {
        removeRange(doc, start, nextLineStart(b));  // the next line moves up under the caret
        return {Taken::Sent, {start, start}, false};
    }
    return {Taken::Sent, {start, nextLineStart(b)}, true};
}

F1Result partOfLine(QTextDocument& doc, const QTextBlock& b, int caret, const SendOptions& o, const Send& send) {
    const int start = b.position();
    const int line = b.blockNumber();
    const QString sent = b.text().left(caret - start);
    if (Cp932::byteLength(sent) >= kLineLimit) return {Taken::TooLong, {}, false};
    if (!send(Cp932::encode(sent))) return refused(caret);
    if (!o.removeSent) return {Taken::Sent, {caret, caret}, false};

    removeRange(doc, start, caret);
    int rest = start;  // the caret stays at the start of what remains of line L
    if (o.appendToPrevious) {
        if (line == 0) {
            insertAt(doc, 0, QStringLiteral("\n"));  // a line above for the text to go to
            rest += 1;
        }
        const QTextBlock previous = doc.findBlock(rest).previous();
        insertAt(doc, blockEnd(previous), sent);
        rest += int(sent.size());
    }

    const QTextBlock remaining = doc.findBlock(rest);
    if (remaining.text().isEmpty()) {
        if (o.appendToPrevious) return {Taken::Sent, {nextLineStart(remaining), nextLineStart(remaining)}, false};
        // The emptied line goes; the caret is then at the start of the line that took its place.
        if (remaining.next().isValid()) {
            removeRange(doc, rest, remaining.next().position());
        } else if (remaining.previous().isValid()) {
            removeRange(doc, blockEnd(remaining.previous()), rest);
            rest = blockEnd(remaining.previous());
        }
        return {Taken::Sent, {rest, rest}, false};
    }
    const qsizetype bytes = Cp932::byteLength(remaining.text());
    const int to = bytes < 2 * qsizetype(o.advance) ? blockEnd(remaining) : advancedBy(remaining, rest, o.advance);
    return {Taken::Sent, {to, to}, false};
}

}  // namespace

const QString& TooLongWarning() {
    static const QString text = QStringLiteral("［警告］前ロールの１行の文字数が１０２４バイト以上です。");
    return text;
}

bool IsCommentLine(QStringView line) { return line.startsWith(u"<-"); }

F1Result SendCaretLine(QTextDocument& doc, int caret, const SendOptions& options, const Send& send) {
    caret = qBound(0, caret, doc.characterCount() - 1);
    const QTextBlock b = doc.findBlock(caret);
    if (IsCommentLine(b.text())) return commentLine(b);
    return options.beforeCaret ? partOfLine(doc, b, caret, options, send) : wholeLine(doc, b, caret, options, send);
}

int LineAt(const QTextDocument& doc, int position) {
    return doc.findBlock(qBound(0, position, doc.characterCount() - 1)).blockNumber();
}

int LineStart(const QTextDocument& doc, int line) {
    QTextBlock b = doc.findBlockByNumber(line);
    if (!b.isValid()) b = doc.lastBlock();
    return b.position();
}

MonitorLines MonitorFeed(const QTextDocument& doc, int caretLine, bool doubled) {
    const int k = doubled ? 2 : 1;
    MonitorLines out;
    QTextBlock b = doc.findBlockByNumber(caretLine);
    for (int i = 0; i < 5 * k && b.isValid(); ++i, b = b.next()) out.lower << lineBytes(b.text());
    const int first = caretLine - 2 * k;
    b = doc.findBlockByNumber(qMax(0, first));
    for (int j = first; j < caretLine; ++j) {
        if (j < 0) {
            out.upper << QByteArray(" ");
        } else {
            out.upper << lineBytes(b.text());
            b = b.next();
        }
    }
    return out;
}

Appender::Appender(QTextDocument& doc, QList<QString> lines) : doc_(doc), lines_(std::move(lines)) {}

bool Appender::step(int budgetMs) {
    QElapsedTimer clock;
    clock.start();
    QTextCursor c(&doc_);
    c.movePosition(QTextCursor::End);
    c.beginEditBlock();
    do {
        if (done()) break;
        // A new last line, as adding to the pane's lines does: an empty last line takes the first.
        const bool intoLast = next_ == 0 && doc_.lastBlock().text().isEmpty();
        c.insertText(intoLast ? lines_[next_] : u'\n' + lines_[next_]);
        ++next_;
    } while (clock.elapsed() < budgetMs);
    c.endEditBlock();
    return !done();
}

qsizetype ByteLength(const QTextDocument& doc) {
    qsizetype n = 0;
    for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next()) n += Cp932::byteLength(b.text()) + 2;
    return n - 2;
}

}  // namespace Core::Preroll
