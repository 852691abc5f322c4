#pragma once
// Datagrams waiting for their handlers: one bounded lane per endpoint, served in turns posted to
// the event loop. A turn handles at most `budget` datagrams, but a lane that has had its `share` of
// the turn yields to every other lane with work, so a flood on one port can neither grow memory nor
// hold back the lines of another port.
//
// Within a lane every sender address has a queue of its own and the senders are served in turns,
// so one address flooding a port takes one sender's share of it, however fast it sends. The
// preferred senders (the team's members and partner, set by the station, and the sibling display
// on 127.0.0.1) come first: a lane with a preferred datagram is served before lanes holding only
// strangers', and within the lane the preferred senders go before the others. When a lane is full
// the sender holding the most gives up its newest datagram, a stranger before any preferred
// sender, so a preferred datagram is never dropped while a stranger's is. What is refused is
// counted per port and sender.
//
// Handlers never run on a socket's own stack: a handler may rebind or close any endpoint. Turns are
// woken like sockets (an event counter watched by a socket notifier), so an event loop that leaves
// sockets out (a save serving only paints and timers) handles no datagram either. Datagrams may be
// pushed from any thread (the real network reads on a thread of its own); lanes are opened and turns
// run on the thread of the event loop.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
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
        // One stranger holds at most this much of a lane (a member's burst is held whole).
        int senderCapacity = 1024;
        qsizetype senderBytes = 256 * 1024;
        // Senders with a queue of their own per lane; strangers beyond them share one queue, so a
        // flood from made-up addresses is one sender too.
        int senders = 64;
        // Strangers' datagrams a lane hands to its handler per second, all strangers together (0:
        // no limit). A station that is not a member sends a line now and then, a burst of a few
        // hundred at most; a flood beyond this waits, and past the bounds above it is dropped, so
        // what a stranger sends costs the display (and its memory) a bounded amount per second.
        int strangersPerSecond = 2000;
    };
    using Deliver = std::function<void(const QByteArray& payload, const QString& from, quint16 fromPort)>;

    // Refused datagrams of one port: how many, and from whom (most first; at most kNamedSenders
    // addresses are named, the rest count in the total only).
    struct Dropped {
        qint64 total = 0;
        QList<std::pair<QString, qint64>> senders;
    };
    static constexpr int kNamedSenders = 8;

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

    // The addresses served first (the members and the partner). 127.0.0.1 always is. A sender's
    // rank is taken when its queue in a lane starts, so it changes once that queue has emptied.
    void setPreferredSenders(const QStringList& addresses);
    bool isPreferred(const QString& address) const;

    // Queues one datagram and posts a turn; false when it was dropped (the lane or the sender full).
    bool push(int lane, QByteArray payload, QString from, quint16 fromPort);

    // One turn now (normally run from the event loop). Returns the number of datagrams handled.
    int runTurn();

    // Datagrams refused since the last call, per port; the counts start again at 0.
    QMap<quint16, Dropped> takeDropped();
    qint64 droppedTotal() const;
    // Datagrams waiting in every lane.
    qsizetype queued() const;
    // The port of the datagram whose handler is running (the innermost one), 0 outside a handler.
    quint16 deliveringPort() const;

private:
    struct Item {
        QByteArray payload;
        QString from;
        quint16 fromPort = 0;
        quint64 sequence = 0;
    };
    struct Sender {
        bool preferred = false;
        bool shared = false;  // the queue of the strangers without one of their own
        std::deque<Item> items;
        qsizetype bytes = 0;
    };
    struct Lane {
        Deliver deliver;
        quint16 port = 0;
        std::map<QString, Sender> senders;  // by address; the shared queue under the empty text
        std::deque<Sender*> preferredTurns, strangerTurns;  // senders with datagrams, in serving order
        qsizetype items = 0;
        qsizetype bytes = 0;
        bool busy = false;  // its handler is on the stack (a nested event loop must not reorder it)
        int taken = 0;      // datagrams handled in the current turn
        qint64 strangersSince = -1;  // start (ms) of the second whose strangers' datagrams are counted
        int strangersServed = 0;
        bool hasPreferred() const { return !preferredTurns.empty(); }
        // The datagram the lane would hand on next; a stranger's only while `strangers` allows.
        const Item* next(bool strangers) const;
    };
    struct PortDrops {
        qint64 total = 0;
        QMap<QString, qint64> bySender;  // at most kNamedSenders
    };

    // The private operations run with the mutex held.
    bool preferred(const QString& address) const;
    int pick(bool withinShare, qint64 now) const;
    void post();
    void makeWake();
    static qint64 nowMs();
    // Whether the lane may hand on a stranger's datagram at `now`, and when it may again if not.
    bool strangersAllowed(const Lane& lane, qint64 now) const;
    // After a turn: a wake when the first lane held back by its strangers' rate may go on again.
    void wakeForStrangers(qint64 now);
    Sender& senderFor(Lane& lane, const QString& from, bool preferred);
    // Makes room for a datagram of `size` bytes from `incoming`; false when it is the one to go.
    bool makeRoom(Lane& lane, const Sender& incoming, qsizetype size);
    Sender* largest(Lane& lane, bool preferred, const Sender* except);
    void dropNewest(Lane& lane, Sender& sender);
    void countDrop(const Lane& lane, const QString& from);
    Item takeNext(Lane& lane);
    void forget(Lane& lane, Sender& sender);

    Limits limits_;
    mutable std::mutex mutex_;
    std::map<int, Lane> lanes_;
    int nextLane_ = 1;
    quint64 nextSequence_ = 0;
    qsizetype queued_ = 0;
    QSet<QString> preferred_;
    QMap<quint16, PortDrops> dropped_;
    qint64 droppedTotal_ = 0;
    std::vector<quint16> delivering_;
    bool posted_ = false;
    bool strangersWake_ = false;  // a turn is due when held-back strangers may go on
    std::unique_ptr<QTimer> strangersTimer_;
    int wakeFd_ = -1;  // made with the first lane: a station's network may come before the application
    std::unique_ptr<QSocketNotifier> wake_;
};

}  // namespace Net
