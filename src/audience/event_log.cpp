#include "audience/event_log.h"

#include "audience/record_mirror.h"
#include "audience/ruby_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace Audience {
namespace {

// How long a browser waits before it reconnects by itself.
const QByteArray kRetry = "retry: 3000\n\n";

QByteArray json(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

QJsonArray ids(const QList<qint64>& list) {
    QJsonArray a;
    for (qint64 id : list) a.append(id);
    return a;
}

QJsonArray line(const QString& text) { return rubyToJson(parseRuby(text)); }

}  // namespace

EventLog::EventLog(RecordMirror& mirror, QObject* parent)
    : QObject(parent), mirror_(mirror), session_(QByteArray::number(QRandomGenerator::global()->generate(), 36)) {
    connect(&mirror, &RecordMirror::lineAdded, this, [this](qint64 id, const QString& text) {
        publish(json({{"t", "add"}, {"id", id}, {"r", line(text)}}));
    });
    connect(&mirror, &RecordMirror::lineChanged, this, [this](qint64 id, const QString& text) {
        publish(json({{"t", "set"}, {"id", id}, {"r", line(text)}}));
    });
    connect(&mirror, &RecordMirror::lineRemoved, this,
            [this](qint64 id) { publish(json({{"t", "del"}, {"id", id}})); });
    connect(&mirror, &RecordMirror::cleared, this, [this](qint64 id) { publish(json({{"t", "cls"}, {"id", id}})); });
    connect(&mirror, &RecordMirror::linesCorrected, this,
            [this](const QList<qint64>& superseded, const QList<qint64>& replacements) {
                publish(json({{"t", "fix"}, {"del", ids(superseded)}, {"ids", ids(replacements)}}));
            });
    connect(&mirror, &RecordMirror::reset, this, [this] {
        // Every reader starts over from a snapshot; the old events no longer lead anywhere.
        backlog_.clear();
        ++sequence_;
        emit event(snapshot());
    });
}

QByteArray EventLog::idOf(qint64 sequence) const { return session_ + '-' + QByteArray::number(sequence); }

QByteArray EventLog::lastEventId() const { return idOf(sequence_); }

void EventLog::publish(const QByteArray& data) {
    ++sequence_;
    QByteArray bytes = "id: " + idOf(sequence_) + "\ndata: " + data + "\n\n";
    backlog_.emplace_back(sequence_, bytes);
    if (backlog_.size() > size_t(kBacklog)) backlog_.pop_front();
    emit event(bytes);
}

QByteArray EventLog::snapshot() const {
    QJsonArray lines;
    for (const RecordMirror::Line& l : mirror_.shownTail(kSnapshotLines)) {
        QJsonObject o{{"id", l.id}, {"r", line(l.text)}};
        if (l.clearedAfter) o.insert("cls", true);
        lines.append(o);
    }
    return "id: " + lastEventId() + "\ndata: " + json({{"t", "snap"}, {"lines", lines}}) + "\n\n";
}

QByteArray EventLog::catchUp(const QByteArray& lastEventId) const {
    const qsizetype dash = lastEventId.lastIndexOf('-');
    bool ok = false;
    const qint64 seen = dash > 0 ? lastEventId.mid(dash + 1).toLongLong(&ok) : -1;
    const bool ours = ok && lastEventId.left(dash) == session_ && seen <= sequence_;
    // Every event after `seen` must still be kept (the oldest kept one is seen + 1 or older).
    const qint64 oldest = backlog_.empty() ? sequence_ + 1 : backlog_.front().first;
    if (!ours || seen + 1 < oldest) return kRetry + snapshot();
    QByteArray out = kRetry;
    for (const auto& [sequence, bytes] : backlog_)
        if (sequence > seen) out += bytes;
    return out;
}

}  // namespace Audience
