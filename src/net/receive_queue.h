#pragma once
// Datagrams waiting for their handlers: one bounded lane per endpoint, served in turns posted to
// the event loop. A turn handles at most `budget` datagrams, oldest first, but a lane that has had
// its `share` of the turn yields to every other lane with work, so a flood on one port can neither
// grow memory nor hold back the lines of another port. What a full lane refuses is counted per port.
// Handlers never run on a socket's own stack: a handler may rebind or close any endpoint.
// Turns are woken like sockets (an event counter watched by a socket notifier), so an event loop
// that leaves sockets out (a save serving only paints and timers) handles no datagram either.
#include <QByteArray>
#include <QMap>
#include <QSocketNotifier>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace Net {

class ReceiveQueue {
public:
    struct Limits {
        // A lane holds a burst of lines whole (as the kernel's 1 MB buffer would) and drops past it.
        int capacity = 4096;            // datagrams a lane holds before it drops
        int budget = 32;                // datagrams handled per turn
        int share = 8;                  // of which one lane takes at most this many while others wait
        qsizetype bytes = 1024 * 1024;  // and bytes it holds, so a flood of large datagrams stays small
    };
    using Deliver = std::function<void(const QByteArray& payload, const QString& from, quint16 fromPort)>;

    ReceiveQueue() : ReceiveQueue(Limits{}) {}
    explicit ReceiveQueue(Limits limits);
    ~ReceiveQueue();
    ReceiveQueue(const ReceiveQueue&) = delete;
    ReceiveQueue& operator=(const ReceiveQueue&) = delete;

    const Limits& limits() const { return limits_; }

    // A lane whose datagrams go to `deliver`; drops are counted against `port` (0 = not counted).
    int openLane(Deliver deliver);
    void setLanePort(int lane, quint16 port);
    // Forgets what the lane holds (a rebound socket does not hand on the old one's datagrams).
    void clearLane(int lane);
    void closeLane(int lane);

    // Queues one datagram and posts a turn; false when the lane is full and the datagram dropped.
    bool push(int lane, QByteArray payload, QString from, quint16 fromPort);

    // One turn now (normally run from the event loop). Returns the number of datagrams handled.
    int runTurn();

    // Datagrams refused by full lanes since the last call, per port; the counts start again at 0.
    QMap<quint16, qint64> takeDropped();
    qint64 droppedTotal() const { return droppedTotal_; }
    // Datagrams waiting in every lane.
    qsizetype queued() const { return queued_; }
    // The port of the datagram whose handler is running (the innermost one), 0 outside a handler.
    quint16 deliveringPort() const { return delivering_.empty() ? 0 : delivering_.back(); }

private:
    struct Item {
        QByteArray payload;
        QString from;
        quint16 fromPort = 0;
        quint64 sequence = 0;
    };
    struct Lane {
        Deliver deliver;
        quint16 port = 0;
        std::deque<Item> items;
        qsizetype bytes = 0;
        bool busy = false;  // its handler is on the stack (a nested event loop must not reorder it)
        int taken = 0;      // datagrams handled in the current turn
    };
    int pick(bool withinShare) const;
    void post();

    Limits limits_;
    std::map<int, Lane> lanes_;
    int nextLane_ = 1;
    quint64 nextSequence_ = 0;
    qsizetype queued_ = 0;
    QMap<quint16, qint64> dropped_;
    qint64 droppedTotal_ = 0;
    std::vector<quint16> delivering_;
    bool posted_ = false;
    int wakeFd_ = -1;  // made with the first turn: a station's network may come before the application
    std::unique_ptr<QSocketNotifier> wake_;
};

}  // namespace Net
