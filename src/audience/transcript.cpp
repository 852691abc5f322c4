#include "audience/transcript.h"

#include "audience/clock.h"
#include "audience/record_mirror.h"
#include "audience/ruby_text.h"

#include <algorithm>

namespace Audience {
namespace {

QString clockText(qint64 ms, QChar fraction) {
    ms = qMax<qint64>(0, ms);
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(fraction)
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

bool hasVisibleText(const QString& text) {
    auto visible = [](const QString& t) { return std::any_of(t.begin(), t.end(), [](QChar c) { return !c.isSpace(); }); };
    // Most lines hold no markup: no need to parse them (this runs for every line that arrives).
    return text.contains(u'`') ? visible(rubyToPlain(parseRuby(text))) : visible(text);
}

}  // namespace

Transcript::Transcript(RecordMirror& mirror, const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    connect(&mirror, &RecordMirror::lineAdded, this, &Transcript::lineAdded);
    connect(&mirror, &RecordMirror::lineChanged, this, &Transcript::lineChanged);
    connect(&mirror, &RecordMirror::lineRemoved, this, &Transcript::lineRemoved);
    connect(&mirror, &RecordMirror::cleared, this, &Transcript::cleared);
    connect(&mirror, &RecordMirror::linesCorrected, this, &Transcript::linesCorrected);
}

qsizetype Transcript::Entry::lineOf(qint64 id) const {
    if (id == first) return 0;
    if (!more) return -1;
    const auto it = std::find(more->begin(), more->end(), id);
    return it == more->end() ? -1 : 1 + (it - more->begin());
}

void Transcript::Entry::add(qint64 id, const QString& text) {
    if (!more) more = std::make_unique<std::vector<qint64>>();
    more->push_back(id);
    lines += u'\n' + text;
}

void Transcript::Entry::set(qsizetype line, const QString& text) {
    if (!more) {
        lines = text;
        return;
    }
    QStringList all = lines.split(u'\n');
    all[line] = text;
    lines = all.join(u'\n');
}

bool Transcript::Entry::remove(qsizetype line) {
    if (!more || more->empty()) return false;
    QStringList all = lines.split(u'\n');
    all.removeAt(line);
    lines = all.join(u'\n');
    if (line == 0) first = more->front();
    more->erase(more->begin() + (line == 0 ? 0 : line - 1));
    if (more->empty()) more.reset();
    return true;
}

QString Transcript::Entry::text() const {
    if (!more) return hasVisibleText(lines) ? lines : QString();
    QStringList shown;
    for (const QString& t : lines.split(u'\n'))
        if (hasVisibleText(t)) shown << t;
    return shown.join(u'\n');
}

qint64 Transcript::readingMs(const QString& text) {
    const QString plain = rubyToPlain(parseRuby(text)).remove(u'\n');
    return qMin(kLongestReadingMs, kBaseReadingMs + kReadingMsPerChar * plain.size());
}

qsizetype Transcript::indexOf(qint64 id) const {
    for (qsizetype i = qsizetype(entries_.size()) - 1; i >= 0; --i)  // the lines that change are the newest
        if (entries_[size_t(i)].lineOf(id) >= 0) return i;
    return -1;
}

void Transcript::removeEntry(qsizetype index) { entries_.erase(entries_.begin() + index); }

// A caption gets its start when it first has text to read (an empty line joined to later).
void Transcript::touched(Entry& e, const QDateTime& now) {
    e.lastChange = now;
    if (e.start.isValid() || e.text().isEmpty()) return;
    e.start = now;
    if (!origin_.isValid()) origin_ = now;
}

void Transcript::lineAdded(qint64 id, const QString& text, qint64 caption) {
    const QDateTime now = clock_.now();
    // The first line of a caption starts an entry; a further one joins the entry of the line the
    // caption began with.
    const qsizetype at = caption == id ? -1 : indexOf(caption);
    if (at < 0) {
        Entry e;
        e.first = id;
        e.lines = text;
        e.lastChange = now;
        entries_.push_back(std::move(e));
        touched(entries_.back(), now);
        return;
    }
    Entry& e = entries_[size_t(at)];
    e.add(id, text);
    touched(e, now);
}

void Transcript::lineChanged(qint64 id, const QString& text) {
    const qsizetype i = indexOf(id);
    if (i < 0) return;
    Entry& e = entries_[size_t(i)];
    e.set(e.lineOf(id), text);
    touched(e, clock_.now());
}

void Transcript::lineRemoved(qint64 id) {
    const qsizetype i = indexOf(id);
    if (i < 0) return;
    Entry& e = entries_[size_t(i)];
    if (!e.remove(e.lineOf(id))) removeEntry(i);
}

void Transcript::cleared(qint64) {
    // The caption on the screen at the clear ends there; nothing is taken out.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (!it->start.isValid()) continue;
        if (!it->clearedAt.isValid()) it->clearedAt = clock_.now();
        break;
    }
}

QDateTime Transcript::endOf(qsizetype i) const {
    const Entry& e = entries_[size_t(i)];
    const QDateTime read = qMax(e.start.addMSecs(readingMs(e.text())), e.lastChange.addMSecs(kBaseReadingMs));
    QDateTime gone;  // when the display let it go: the next caption, or a clear before it
    for (size_t j = size_t(i) + 1; j < entries_.size() && !gone.isValid(); ++j) gone = entries_[j].start;
    if (e.clearedAt.isValid() && (!gone.isValid() || e.clearedAt < gone)) gone = e.clearedAt;
    return gone.isValid() ? qMax(read, gone) : read;
}

void Transcript::linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements) {
    // The captions all of whose lines were replaced hand over their time on the screen.
    struct Span {
        QDateTime start, lastChange, clearedAt, end;
    };
    QList<qsizetype> hit;
    for (qint64 id : superseded)
        if (const qsizetype i = indexOf(id); i >= 0 && !hit.contains(i)) hit.append(i);
    std::sort(hit.begin(), hit.end());
    QList<Span> old;
    QList<qsizetype> emptied;
    for (qsizetype i : hit) {
        Entry& e = entries_[size_t(i)];
        const bool timed = e.start.isValid();
        const Span span{e.start, e.lastChange, e.clearedAt, timed ? endOf(i) : QDateTime()};
        bool left = true;
        for (qint64 id : superseded)
            if (const qsizetype k = e.lineOf(id); k >= 0 && left) left = e.remove(k);
        if (left) continue;  // partly replaced: the rest keeps its own time
        emptied.append(i);
        if (timed) old.append(span);
    }
    for (auto it = emptied.rbegin(); it != emptied.rend(); ++it) removeEntry(*it);
    if (old.isEmpty()) return;  // the replaced lines were never timed: the new ones keep their own time

    QList<qsizetype> fresh;
    for (qint64 id : replacements)
        if (const qsizetype i = indexOf(id); i >= 0 && !fresh.contains(i)) fresh.append(i);
    std::sort(fresh.begin(), fresh.end());
    if (fresh.size() == old.size()) {
        for (qsizetype j = 0; j < fresh.size(); ++j) {
            Entry& e = entries_[size_t(fresh[j])];
            e.start = old[j].start;
            e.lastChange = old[j].lastChange;
            e.clearedAt = old[j].clearedAt;
        }
    } else if (!fresh.isEmpty()) {
        // Spread the corrected captions over the time the replaced ones were shown.
        const QDateTime from = old.first().start;
        const qint64 span = qMax<qint64>(0, from.msecsTo(old.last().end));
        for (qsizetype j = 0; j < fresh.size(); ++j) {
            Entry& e = entries_[size_t(fresh[j])];
            e.start = e.lastChange = from.addMSecs(span * j / fresh.size());
            e.clearedAt = {};
        }
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return (a.start.isValid() ? a.start : a.lastChange) < (b.start.isValid() ? b.start : b.lastChange);
    });
}

void Transcript::clear() {
    entries_.clear();
    origin_ = {};
}

bool Transcript::isEmpty() const { return cues().isEmpty(); }

QList<Transcript::Cue> Transcript::cues() const {
    QList<Cue> out;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!e.start.isValid()) continue;
        const QString text = e.text();
        if (text.isEmpty()) continue;  // its text was taken back after it came
        out.append({origin_.msecsTo(e.start), origin_.msecsTo(endOf(qsizetype(i))), text});
    }
    return out;
}

QString Transcript::toWebVtt() const {
    QString s = QStringLiteral("WEBVTT\n");
    int n = 0;
    for (const Cue& c : cues()) {
        QStringList lines;
        for (const QString& l : c.text.split(u'\n')) lines << rubyToVtt(parseRuby(l));
        s += QStringLiteral("\n%1\n%2 --> %3\n%4\n")
                 .arg(++n)
                 .arg(clockText(c.startMs, u'.'), clockText(c.endMs, u'.'), lines.join(u'\n'));
    }
    return s;
}

QString Transcript::toSubRip() const {
    QString s;
    int n = 0;
    for (const Cue& c : cues()) {
        QStringList lines;
        // SubRip has no escapes, and players take "<" for the start of a tag ("<b>", "<font>"):
        // angle brackets are written full-width.
        for (const QString& l : c.text.split(u'\n'))
            lines << rubyToPlain(parseRuby(l)).replace(u'<', u'＜').replace(u'>', u'＞');
        if (n > 0) s += QLatin1String("\r\n");
        s += QStringLiteral("%1\r\n%2 --> %3\r\n%4\r\n")
                 .arg(++n)
                 .arg(clockText(c.startMs, u','), clockText(c.endMs, u','), lines.join(QLatin1String("\r\n")));
    }
    return s;
}

QString Transcript::toText() const {
    QString s;
    for (const Cue& c : cues()) {
        QStringList lines;
        for (const QString& l : c.text.split(u'\n')) lines << rubyToPlain(parseRuby(l));
        const qint64 sec = qMax<qint64>(0, c.startMs) / 1000;
        s += QStringLiteral("[%1:%2:%3] %4\n")
                 .arg(sec / 3600)
                 .arg(sec / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(sec % 60, 2, 10, QLatin1Char('0'))
                 .arg(lines.join(u'\n'));
    }
    return s;
}

}  // namespace Audience
