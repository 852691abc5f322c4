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

bool hasVisibleText(const QString& text) { return !rubyToPlain(parseRuby(text)).trimmed().isEmpty(); }

}  // namespace

Transcript::Transcript(RecordMirror& mirror, const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    connect(&mirror, &RecordMirror::lineAdded, this, &Transcript::lineAdded);
    connect(&mirror, &RecordMirror::lineChanged, this, &Transcript::lineChanged);
    connect(&mirror, &RecordMirror::lineRemoved, this, &Transcript::lineRemoved);
    connect(&mirror, &RecordMirror::cleared, this, &Transcript::cleared);
    connect(&mirror, &RecordMirror::linesCorrected, this, &Transcript::linesCorrected);
}

qsizetype Transcript::indexOf(qint64 id) const {
    for (qsizetype i = entries_.size() - 1; i >= 0; --i)  // the lines that change are the newest
        if (entries_[i].id == id) return i;
    return -1;
}

void Transcript::lineAdded(qint64 id, const QString& text) {
    const QDateTime now = clock_.now();
    if (!origin_.isValid() && hasVisibleText(text)) origin_ = now;
    entries_.append({id, now, now, {}, text});
}

void Transcript::lineChanged(qint64 id, const QString& text) {
    const qsizetype i = indexOf(id);
    if (i < 0) return;
    const QDateTime now = clock_.now();
    if (!origin_.isValid() && hasVisibleText(text)) origin_ = now;
    entries_[i].text = text;
    entries_[i].lastChange = now;
}

void Transcript::lineRemoved(qint64 id) {
    const qsizetype i = indexOf(id);
    if (i >= 0) entries_.removeAt(i);
}

void Transcript::cleared(qint64) {
    // The cue on the screen at the clear ends there; nothing is taken out.
    if (!entries_.isEmpty()) entries_.last().clearedAt = clock_.now();
}

QDateTime Transcript::endOf(qsizetype i) const {
    const Entry& e = entries_[i];
    QDateTime end = e.lastChange.addMSecs(kMaxCueMs);
    if (i + 1 < entries_.size()) end = qMin(end, qMax(e.start, entries_[i + 1].start));
    if (e.clearedAt.isValid()) end = qMin(end, qMax(e.start, e.clearedAt));
    return end;
}

void Transcript::linesCorrected(const QList<qint64>& superseded, const QList<qint64>& replacements) {
    QList<qsizetype> gone;
    for (qint64 id : superseded)
        if (const qsizetype i = indexOf(id); i >= 0) gone.append(i);
    if (gone.isEmpty()) return;  // the replaced lines were never timed: the new ones keep their own time
    std::sort(gone.begin(), gone.end());
    QList<Entry> old;
    for (qsizetype i : gone) old.append(entries_[i]);
    const QDateTime until = endOf(gone.last());
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) entries_.removeAt(*it);
    QList<qsizetype> fresh;
    for (qint64 id : replacements)
        if (const qsizetype i = indexOf(id); i >= 0) fresh.append(i);

    if (fresh.size() == old.size()) {
        for (qsizetype j = 0; j < fresh.size(); ++j) {
            Entry& e = entries_[fresh[j]];
            e.start = old[j].start;
            e.lastChange = old[j].lastChange;
            e.clearedAt = old[j].clearedAt;
        }
    } else if (!fresh.isEmpty()) {
        // Spread the corrected lines over the time the replaced ones were shown.
        const QDateTime from = old.first().start;
        const qint64 span = qMax<qint64>(0, from.msecsTo(until));
        for (qsizetype j = 0; j < fresh.size(); ++j) {
            Entry& e = entries_[fresh[j]];
            e.start = e.lastChange = from.addMSecs(span * j / fresh.size());
            e.clearedAt = {};
        }
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.start < b.start; });
}

void Transcript::clear() {
    entries_.clear();
    origin_ = {};
}

bool Transcript::isEmpty() const { return cues().isEmpty(); }

QList<Transcript::Cue> Transcript::cues() const {
    QList<Cue> out;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!hasVisibleText(e.text)) continue;
        out.append({origin_.msecsTo(e.start), origin_.msecsTo(endOf(i)), e.text});
    }
    return out;
}

QString Transcript::toWebVtt() const {
    QString s = QStringLiteral("WEBVTT\n");
    int n = 0;
    for (const Cue& c : cues()) {
        s += QStringLiteral("\n%1\n%2 --> %3\n%4\n")
                 .arg(++n)
                 .arg(clockText(c.startMs, u'.'), clockText(c.endMs, u'.'), rubyToVtt(parseRuby(c.text)));
    }
    return s;
}

QString Transcript::toSubRip() const {
    QString s;
    int n = 0;
    for (const Cue& c : cues()) {
        if (n > 0) s += QLatin1String("\r\n");
        s += QStringLiteral("%1\r\n%2 --> %3\r\n%4\r\n")
                 .arg(++n)
                 .arg(clockText(c.startMs, u','), clockText(c.endMs, u','), rubyToPlain(parseRuby(c.text)));
    }
    return s;
}

QString Transcript::toText() const {
    QString s;
    for (const Cue& c : cues()) {
        const qint64 sec = qMax<qint64>(0, c.startMs) / 1000;
        s += QStringLiteral("[%1:%2:%3] %4\n")
                 .arg(sec / 3600)
                 .arg(sec / 60 % 60, 2, 10, QLatin1Char('0'))
                 .arg(sec % 60, 2, 10, QLatin1Char('0'))
                 .arg(rubyToPlain(parseRuby(c.text)));
    }
    return s;
}

}  // namespace Audience
