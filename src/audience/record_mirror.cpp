#include "audience/record_mirror.h"

#include "core/record.h"

#include <QTextBlock>
#include <QTextDocument>
#include <vector>

namespace Audience {
namespace {

const QString kLineMarker = QStringLiteral("■");
const QString kEndMarker = QStringLiteral("◆");

// Lines the record starts with before any caption ("文先頭　", after a periodic clear "継続保存",
// and the empty lines after them).
bool isFiller(const QString& text) {
    return text.isEmpty() || text == QStringLiteral("文先頭　") || text == QStringLiteral("継続保存");
}

}  // namespace

// The record's lines from the end, read only as far as asked: a change usually touches one line,
// and reading the whole record on every change would cost its length.
class RecordMirror::Tail {
public:
    // A trailing "■" line and a trailing "◆" are the marker, not text.
    explicit Tail(const Core::Record& record) {
        const QTextDocument* doc = record.document();
        count_ = record.recordLineCount();
        if (count_ == 0) return;
        next_ = record.endsWithLineBreak() ? doc->lastBlock().previous() : doc->lastBlock();
        const QString last = next_.text();
        if (last == kLineMarker) {
            --count_;
            next_ = next_.previous();
        } else if (last.endsWith(kEndMarker)) {
            texts_.push_back(last.chopped(kEndMarker.size()));
            next_ = next_.previous();
        }
    }
    int count() const { return count_; }
    // The k-th line from the end (0: the last line).
    const QString& at(int k) {
        while (int(texts_.size()) <= k) {
            texts_.push_back(next_.text());
            next_ = next_.previous();
        }
        return texts_[size_t(k)];
    }

private:
    int count_ = 0;
    QTextBlock next_;
    std::vector<QString> texts_;
};

RecordMirror::RecordMirror(Core::Record& record, QObject* parent) : QObject(parent), record_(record) {
    Tail tail(record_);
    readAll(tail, qMin(tail.count(), kCapacity));
    recordLines_ = tail.count();
    markLeadingFiller();
    connect(&record_, &Core::Record::changed, this, &RecordMirror::sync);
}

void RecordMirror::readAll(Tail& tail, int n) {
    lines_.clear();
    for (int k = n - 1; k >= 0; --k) {
        lines_.push_back({nextId_, tail.at(k)});
        lines_.back().caption = nextId_++;
    }
}

bool RecordMirror::onlyFillerBefore(std::size_t index) const {
    if (index > 0 && lines_[index - 1].shown != Shown::Filler) return false;  // the usual answer, at once
    for (std::size_t i = 0; i < index; ++i)
        if (lines_[i].shown != Shown::Filler) return false;
    return true;
}

void RecordMirror::markLeadingFiller() {
    if (int(lines_.size()) != recordLines_) return;  // the copy does not reach the record's start
    for (Line& line : lines_) {
        if (!isFiller(line.text)) break;
        line.shown = Shown::Filler;
    }
}

void RecordMirror::sync() {
    Tail tail(record_);
    const int n = tail.count();
    const int m = int(lines_.size());
    const int grown = n - recordLines_;
    // Replacing the whole text (the periodic clear may) empties the record first: that is no
    // change the audience should see, the refilled record is compared when it comes.
    if (n == 0 && m > 0) return;

    // Does the copy, less its last `removed` lines, end where the record, less its last `added`
    // lines, ends? Judged on the lines before the change, up to a few that have text: empty lines
    // match each other anywhere and tell nothing, unless both sides run out together.
    auto fits = [&](int removed, int added) {
        const int left = m - removed, right = n - added;
        int telling = 0;
        for (int i = 0; i < qMin(left, right) && telling < kMatchDepth; ++i) {
            const QString& mine = lines_[size_t(left - 1 - i)].text;
            if (mine != tail.at(added + i)) return false;
            if (!mine.isEmpty()) ++telling;
        }
        return telling > 0 || left == right;
    };
    auto take = [&](int removed, int added) {
        apply(tail, removed, added);
        recordLines_ = n;
        trim();
    };

    // First a change at the end alone, which moves the line count by exactly its size; the
    // smallest such change wins (runs of equal lines, empty ones above all, fit several).
    for (int removed = qMax(0, -grown); removed <= m && removed + grown <= n && 2 * removed + grown <= kMaxChange;
         ++removed) {
        if (fits(removed, removed + grown)) return take(removed, removed + grown);
    }
    // Then any small change at the end; the rest of the count change was at the head (trimmed).
    for (int size = 0; size <= kMaxChange; ++size) {
        for (int removed = 0; removed <= size; ++removed) {
            const int added = size - removed;
            if (removed > m || added > n) continue;
            if (fits(removed, added)) return take(removed, added);
        }
    }
    // Nothing fits: read the tail anew.
    readAll(tail, qMin(n, kCapacity));
    recordLines_ = n;
    markLeadingFiller();
    emit reset();
}

void RecordMirror::emitShown(Line& line, const QString& text) {
    line.text = text;
    switch (line.shown) {
    case Shown::Yes:
        emit lineChanged(line.id, text);
        break;
    case Shown::Filler:
        if (!text.isEmpty()) {  // text joined to an empty line: now it is a caption line
            line.shown = Shown::Yes;
            emit lineAdded(line.id, text, line.caption);
        }
        break;
    case Shown::Superseded:
        break;
    }
}

void RecordMirror::apply(Tail& tail, int removed, int added) {
    const int m = int(lines_.size());
    const int paired = qMin(removed, added);
    // New lines of one change are one caption; when the change also joined text to the line
    // before them, they belong to that line's caption.
    qint64 caption = 0;
    for (int i = 0; i < paired; ++i) {
        Line& line = lines_[size_t(m - removed + i)];
        const QString& text = tail.at(added - 1 - i);
        if (line.text == text) continue;
        emitShown(line, text);
        if (i == paired - 1 && line.shown == Shown::Yes) caption = line.caption;
    }
    if (removed > added) {
        const auto first = lines_.begin() + (m - removed + paired);
        QList<qint64> gone;
        for (auto it = first; it != lines_.end(); ++it)
            if (it->shown == Shown::Yes) gone.append(it->id);
        lines_.erase(first, lines_.end());
        for (qint64 id : gone) emit lineRemoved(id);
    }
    if (caption == 0) caption = nextId_;
    // While the copy reaches the record's start and holds nothing but filler, the empty lines and
    // filler texts that arrive are filler too (a station fills its record after the mirror is made).
    const bool fromStart = m - removed + added == tail.count();
    for (int i = paired; i < added; ++i) {
        Line line{nextId_++, tail.at(added - 1 - i)};
        line.caption = caption;
        if (fromStart && isFiller(line.text) && onlyFillerBefore(lines_.size())) line.shown = Shown::Filler;
        lines_.push_back(line);
        if (line.shown == Shown::Yes) emit lineAdded(line.id, line.text, line.caption);
    }
}

void RecordMirror::trim() {
    while (int(lines_.size()) > kCapacity) lines_.pop_front();
}

qint64 RecordMirror::lastShownId() const {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
        if (it->shown == Shown::Yes) return it->id;
    return 0;
}

QList<RecordMirror::Line> RecordMirror::shownTail(int count) const {
    QList<Line> out;
    for (auto it = lines_.rbegin(); it != lines_.rend() && out.size() < count; ++it)
        if (it->shown == Shown::Yes) out.prepend(*it);
    return out;
}

void RecordMirror::screenCleared() {
    sync();
    const qint64 id = lastShownId();
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        if (it->id == id) {
            it->clearedAfter = true;
            break;
        }
    }
    emit cleared(id);
}

void RecordMirror::corrected(int supersededLines, int newLines) {
    sync();
    const int m = int(lines_.size());
    const int fresh = qBound(0, newLines, m);
    const int old = qBound(0, supersededLines, m - fresh);
    QList<qint64> superseded, replacements;
    for (int i = m - fresh - old; i < m - fresh; ++i) {
        Line& line = lines_[size_t(i)];
        if (line.shown == Shown::Yes) superseded.append(line.id);
        line.shown = Shown::Superseded;  // kept: the record still holds it, and the next comparison needs it
    }
    for (int i = m - fresh; i < m; ++i)
        if (lines_[size_t(i)].shown == Shown::Yes) replacements.append(lines_[size_t(i)].id);
    if (!superseded.isEmpty() || !replacements.isEmpty()) emit linesCorrected(superseded, replacements);
}

}  // namespace Audience
