#include "core/record.h"

#include "text/cp932.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace Core {
namespace {

QString normalizeBreaks(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// Bytes of the characters [0, n) of a block's text.
qsizetype bytesOfPrefix(const QString& text, qsizetype n) { return Cp932::byteLength(QStringView(text).first(n)); }

// Characters of a block's text that hold its first `bytes` bytes (whole characters only).
int charsOfBytes(const QString& text, qsizetype bytes) {
    qsizetype used = 0;
    int i = 0;
    while (i < text.size()) {
        const int w = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const qsizetype b = Cp932::byteLength(QStringView(text).sliced(i, w));
        if (used + b > bytes) break;
        used += b;
        i += w;
    }
    return i;
}

// A document layout that lays nothing out. The document still reports every change through it.
class NoLayout final : public QAbstractTextDocumentLayout {
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    void draw(QPainter*, const PaintContext&) override {}
    int hitTest(const QPointF&, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame*) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock&) const override { return {}; }

protected:
    void documentChanged(int, int, int) override {}
};

}  // namespace

Record::Record(QTextDocument* document, QObject* parent) : QObject(parent), doc_(document) {
    // The record grows for hours; an undo history of every appended line would grow with it.
    doc_->setUndoRedoEnabled(false);
    doc_->setDocumentLayout(new NoLayout(doc_));  // changes are reported only through a layout
    font_ = doc_->defaultFont();
    rebuild();
    connect(doc_, &QTextDocument::contentsChange, this, &Record::onContentsChange);
}

void Record::setFullLayout(bool on) {
    if (on == fullLayout_) return;
    fullLayout_ = on;
    if (on) {
        doc_->setDocumentLayout(nullptr);
        doc_->documentLayout();  // the default layout, as a text pane draws it
    } else {
        doc_->setDocumentLayout(new NoLayout(doc_));
    }
}

void Record::setWrap(const QFont& font, int width) {
    if (font == font_ && width == width_) return;
    font_ = font;
    width_ = width;
    rebuild();
}

Record::BlockInfo Record::measure(const QString& text) const {
    BlockInfo info;
    info.bytes = int(Cp932::byteLength(text));
    if (width_ <= 0 || text.isEmpty()) return info;
    QTextLayout layout(text, font_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width_);
        if (lines > 0) info.lineStarts.push_back(line.textStart());
        ++lines;
    }
    layout.endLayout();
    info.lines = qMax(1, lines);
    return info;
}

void Record::rebuild() {
    blocks_.clear();
    bytes_ = 0;
    lines_ = 0;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        blocks_.push_back(measure(b.text()));
        bytes_ += blocks_.back().bytes;
        lines_ += blocks_.back().lines;
    }
}

void Record::onContentsChange(int position, int removed, int added) {
    if (removed == 0 && added == 0) return;
    const int newCount = doc_->blockCount();
    const int delta = newCount - int(blocks_.size());
    const int last = qMax(0, doc_->characterCount() - 1);
    const int b0 = doc_->findBlock(qMin(position, last)).blockNumber();
    const int b1 = doc_->findBlock(qMin(position + added, last)).blockNumber();
    const int oldEnd = b1 - delta;  // last old block the change touched
    if (b0 < 0 || b1 < b0 || oldEnd < b0 - 1 || oldEnd >= int(blocks_.size())) {
        rebuild();  // a change this bookkeeping cannot place: measure everything again
    } else {
        for (int i = b0; i <= oldEnd; ++i) {
            bytes_ -= blocks_[i].bytes;
            lines_ -= blocks_[i].lines;
        }
        std::vector<BlockInfo> fresh;
        fresh.reserve(b1 - b0 + 1);
        QTextBlock b = doc_->findBlockByNumber(b0);
        for (int i = b0; i <= b1 && b.isValid(); ++i, b = b.next()) {
            fresh.push_back(measure(b.text()));
            bytes_ += fresh.back().bytes;
            lines_ += fresh.back().lines;
        }
        blocks_.erase(blocks_.begin() + b0, blocks_.begin() + oldEnd + 1);
        blocks_.insert(blocks_.begin() + b0, std::make_move_iterator(fresh.begin()),
                       std::make_move_iterator(fresh.end()));
    }
    emit changed();
}

int Record::lineCount() const {
    if (blocks_.empty()) return 0;
    const bool trailingEmpty = doc_->lastBlock().text().isEmpty();
    return int(lines_) - (trailingEmpty ? 1 : 0);
}

QString Record::displayLine(int index) const {
    if (index < 0 || index >= lineCount()) return QString();
    // Lines asked for are nearly always the newest: walk from the nearer end.
    int block = 0;
    qsizetype first = 0;  // display line index of the block's first line
    if (index >= lines_ / 2) {
        block = int(blocks_.size()) - 1;
        first = lines_ - blocks_[block].lines;
        while (first > index) first -= blocks_[--block].lines;
    } else {
        while (first + blocks_[block].lines <= index) first += blocks_[block++].lines;
    }
    const BlockInfo& info = blocks_[block];
    const QString text = doc_->findBlockByNumber(block).text();
    const int j = int(index - first);
    const int start = j == 0 ? 0 : info.lineStarts[j - 1];
    const int end = j + 1 < info.lines ? info.lineStarts[j] : int(text.size());
    return text.mid(start, end - start);
}

bool Record::endsWithLineBreak() const { return doc_->blockCount() > 1 && doc_->lastBlock().text().isEmpty(); }

int Record::recordLineCount() const {
    const int n = doc_->blockCount();
    if (n == 1 && doc_->lastBlock().text().isEmpty()) return 0;
    return endsWithLineBreak() ? n - 1 : n;
}

QString Record::line(int index) const {
    if (index < 0 || index >= recordLineCount()) return QString();
    return doc_->findBlockByNumber(index).text();
}

QStringList Record::lines() const {
    QStringList out;
    const int n = recordLineCount();
    out.reserve(n);
    QTextBlock b = doc_->begin();
    for (int i = 0; i < n && b.isValid(); ++i, b = b.next()) out << b.text();
    return out;
}

void Record::removeLines(int first, int count) {
    const int n = recordLineCount();
    first = qBound(0, first, n);
    count = qBound(0, count, n - first);
    if (count == 0) return;
    int p0 = doc_->findBlockByNumber(first).position();
    int p1 = 0;
    if (first + count < doc_->blockCount()) {
        p1 = doc_->findBlockByNumber(first + count).position();
    } else {
        // The last line has no break of its own: the break before it goes instead.
        p1 = doc_->characterCount() - 1;
        if (p0 > 0) --p0;
    }
    if (p1 <= p0) return;
    edit([&](QTextCursor& c) {
        c.setPosition(p0);
        c.setPosition(p1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
}

void Record::insertLines(int before, const QStringList& lines) {
    if (lines.isEmpty()) return;
    before = qBound(0, before, recordLineCount());
    QString text;
    for (const QString& l : lines) text += normalizeBreaks(l) + u'\n';
    if (before < doc_->blockCount()) {
        const int p = doc_->findBlockByNumber(before).position();
        edit([&](QTextCursor& c) {
            c.setPosition(p);
            c.insertText(text);
        });
    } else {
        addLine(text.chopped(1));
    }
}

QString Record::lastLine() const {
    if (recordLineCount() == 0) return QString();
    return endsWithLineBreak() ? doc_->lastBlock().previous().text() : doc_->lastBlock().text();
}

void Record::edit(const std::function<void(QTextCursor&)>& change) {
    QTextCursor c(doc_);
    c.beginEditBlock();
    change(c);
    c.endEditBlock();
}

void Record::setText(const QString& text) { doc_->setPlainText(normalizeBreaks(text)); }

void Record::addLine(const QString& text) {
    const bool needBreak = recordLineCount() > 0 && !endsWithLineBreak();
    edit([&](QTextCursor& c) {
        c.movePosition(QTextCursor::End);
        c.insertText((needBreak ? QStringLiteral("\n") : QString()) + normalizeBreaks(text) + u'\n');
    });
}

void Record::appendToLastLine(const QString& text) {
    edit([&](QTextCursor& c) {
        if (endsWithLineBreak()) {
            c.setPosition(doc_->lastBlock().position() - 1);
        } else {
            c.movePosition(QTextCursor::End);
        }
        c.insertText(normalizeBreaks(text));
    });
}

void Record::appendLineBreak() {
    edit([&](QTextCursor& c) {
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral("\n"));
    });
}

void Record::removeBytes(qsizetype start, qsizetype length) {
    if (length <= 0) return;
    const int p0 = positionOfByte(qMax<qsizetype>(0, start));
    const int p1 = positionOfByte(qMin(byteLength(), start + length));
    if (p1 <= p0) return;
    edit([&](QTextCursor& c) {
        c.setPosition(p0);
        c.setPosition(p1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
}

bool Record::removeLastCharOfLastLine() {
    if (recordLineCount() == 0) return false;
    const QTextBlock b = endsWithLineBreak() ? doc_->lastBlock().previous() : doc_->lastBlock();
    const QString t = b.text();
    if (t.isEmpty()) return false;
    const int w = (t.size() >= 2 && t[t.size() - 1].isLowSurrogate() && t[t.size() - 2].isHighSurrogate()) ? 2 : 1;
    edit([&](QTextCursor& c) {
        c.setPosition(b.position() + int(t.size()) - w);
        c.setPosition(b.position() + int(t.size()), QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
    return true;
}

void Record::removeLastLine() {
    if (recordLineCount() == 0) return;
    edit([&](QTextCursor& c) {
        if (endsWithLineBreak()) {
            const QTextBlock line = doc_->lastBlock().previous();
            c.setPosition(line.position());
            c.setPosition(doc_->lastBlock().position(), QTextCursor::KeepAnchor);
        } else {
            const QTextBlock line = doc_->lastBlock();
            c.setPosition(line.previous().isValid() ? line.position() - 1 : 0);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
    });
}

int Record::positionOfByte(qsizetype offset) const {
    if (offset <= 0) return 0;
    if (offset >= byteLength()) return qMax(0, doc_->characterCount() - 1);
    // Walk to the block holding the offset from the nearer end.
    int i = 0;
    qsizetype blockStart = 0;  // byte offset of block i
    if (offset > byteLength() / 2) {
        i = int(blocks_.size()) - 1;
        blockStart = byteLength() - blocks_[i].bytes;
        while (blockStart > offset) blockStart -= blocks_[--i].bytes + 2;
    } else {
        while (blockStart + blocks_[i].bytes + 2 <= offset) blockStart += blocks_[i++].bytes + 2;
    }
    const QTextBlock b = doc_->findBlockByNumber(i);
    const qsizetype local = offset - blockStart;
    if (local > blocks_[i].bytes) return b.position() + b.length();  // inside the break: after it
    return b.position() + charsOfBytes(b.text(), local);
}

qsizetype Record::byteOfPosition(int position) const {
    const QTextBlock b = doc_->findBlock(position);
    if (!b.isValid()) return byteLength();
    qsizetype start = 0;
    const int n = b.blockNumber();
    if (n > int(blocks_.size()) / 2) {
        start = byteLength() - blocks_.back().bytes;
        for (int i = int(blocks_.size()) - 1; i > n; --i) start -= blocks_[i - 1].bytes + 2;
    } else {
        for (int i = 0; i < n; ++i) start += blocks_[i].bytes + 2;
    }
    return start + bytesOfPrefix(b.text(), position - b.position());
}

}  // namespace Core
