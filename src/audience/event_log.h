#pragma once
// The audience page's event stream, as Server-Sent Events: one `data:` record of JSON per change of
// what the display shows, each with an id, so that a reader who reconnects (phones drop Wi-Fi) can
// say where it stopped and get only what it missed, or a snapshot when that is too old.
//
// Events ("t" is the kind; "r" is a line's text in the form of rubyToJson):
//   {"t":"snap","lines":[{"id":1,"r":[...],"cls":true}, ...]}  the last lines, oldest first
//   {"t":"add","id":7,"r":[...]}        a new last line
//   {"t":"set","id":7,"r":[...]}        a line's text changed
//   {"t":"del","id":7}                  a line taken back
//   {"t":"cls","id":7}                  the screen was cleared after line 7 (0: before any line)
//   {"t":"fix","del":[3,4],"ids":[8,9]} lines 3 and 4 replaced by the corrected lines 8 and 9
#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>

namespace Audience {

class RecordMirror;

class EventLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kSnapshotLines = 200;  // what a reader sees on connect
    static constexpr int kBacklog = 1000;       // events kept for readers who reconnect

    explicit EventLog(RecordMirror& mirror, QObject* parent = nullptr);

    // What a reader gets first: "retry:" advice, then the events after `lastEventId` when they are
    // all still kept, else a snapshot.
    QByteArray catchUp(const QByteArray& lastEventId) const;
    QByteArray snapshot() const;

    // Id of the newest event ("<session>-<sequence>").
    QByteArray lastEventId() const;
    const QByteArray& session() const { return session_; }

signals:
    // One encoded event, ready to be written to every reader.
    void event(const QByteArray& bytes);

private:
    void publish(const QByteArray& json);
    QByteArray idOf(qint64 sequence) const;

    RecordMirror& mirror_;
    QByteArray session_;  // tells this run's ids from an earlier run's
    qint64 sequence_ = 0;
    std::deque<std::pair<qint64, QByteArray>> backlog_;
};

}  // namespace Audience
