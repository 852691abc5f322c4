#include "net/receive_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>

namespace Net {
namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
}

ReceiveQueue::ReceiveQueue(Limits limits) : limits_(limits) {
    limits_.capacity = std::max(1, limits_.capacity);
    limits_.bytes = std::max<qsizetype>(1, limits_.bytes);
    limits_.budget = std::max(1, limits_.budget);
    limits_.share = std::clamp(limits_.share, 1, limits_.budget);
    limits_.senderCapacity = std::clamp(limits_.senderCapacity, 1, limits_.capacity);
    limits_.senderBytes = std::clamp<qsizetype>(limits_.senderBytes, 1, limits_.bytes);
    limits_.senders = std::max(1, limits_.senders);
}

ReceiveQueue::~ReceiveQueue() {
    strangersTimer_.reset();
    wake_.reset();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

int ReceiveQueue::openLane(Deliver deliver) {
    const std::lock_guard lock(mutex_);
    makeWake();
    const int id = nextLane_++;
    lanes_[id].deliver = std::move(deliver);
    return id;
}

// Made with the first lane, on the thread of the event loop (a station's network may come before
// the application).
void ReceiveQueue::makeWake() {
    if (wake_) return;
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) return;  // no turns: the datagrams wait (never seen on Linux)
    strangersTimer_ = std::make_unique<QTimer>();
    strangersTimer_->setSingleShot(true);
    QObject::connect(strangersTimer_.get(), &QTimer::timeout, [this] {
        const std::lock_guard lock(mutex_);
        strangersWake_ = false;
        post();
    });
    wake_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    QObject::connect(wake_.get(), &QSocketNotifier::activated, [this] {
        eventfd_t n = 0;
        eventfd_read(wakeFd_, &n);
        {
            const std::lock_guard lock(mutex_);
            posted_ = false;
        }
        runTurn();
    });
}

void ReceiveQueue::setLanePort(int lane, quint16 port) {
    const std::lock_guard lock(mutex_);
    if (auto it = lanes_.find(lane); it != lanes_.end()) it->second.port = port;
}

void ReceiveQueue::clearLane(int lane) {
    const std::lock_guard lock(mutex_);
    auto it = lanes_.find(lane);
    if (it == lanes_.end()) return;
    Lane& l = it->second;
    queued_ -= l.items;
    l.senders.clear();
    l.preferredTurns.clear();
    l.strangerTurns.clear();
    l.items = 0;
    l.bytes = 0;
}

void ReceiveQueue::closeLane(int lane) {
    clearLane(lane);
    const std::lock_guard lock(mutex_);
    lanes_.erase(lane);
}

void ReceiveQueue::setPreferredSenders(const QStringList& addresses) {
    const std::lock_guard lock(mutex_);
    preferred_ = QSet<QString>(addresses.cbegin(), addresses.cend());
}

bool ReceiveQueue::isPreferred(const QString& address) const {
    const std::lock_guard lock(mutex_);
    return preferred(address);
}

bool ReceiveQueue::preferred(const QString& address) const {
    return address == kLoopback || preferred_.contains(address);
}

const ReceiveQueue::Item* ReceiveQueue::Lane::next(bool strangers) const {
    if (!preferredTurns.empty()) return &preferredTurns.front()->items.front();
    return strangers && !strangerTurns.empty() ? &strangerTurns.front()->items.front() : nullptr;
}

qint64 ReceiveQueue::nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool ReceiveQueue::strangersAllowed(const Lane& lane, qint64 now) const {
    return limits_.strangersPerSecond <= 0 || lane.strangersSince < 0 || now - lane.strangersSince >= 1000 ||
           lane.strangersServed < limits_.strangersPerSecond;
}

void ReceiveQueue::wakeForStrangers(qint64 now) {
    qint64 first = -1;
    for (const auto& [id, l] : lanes_)
        if (!l.strangerTurns.empty() && !strangersAllowed(l, now)) {
            const qint64 at = l.strangersSince + 1000 - now;
            if (first < 0 || at < first) first = at;
        }
    if (first < 0 || !strangersTimer_) return;
    strangersWake_ = true;
    strangersTimer_->start(int(std::max<qint64>(1, first)));
}

ReceiveQueue::Sender& ReceiveQueue::senderFor(Lane& lane, const QString& from, bool preferred) {
    if (auto it = lane.senders.find(from); it != lane.senders.end() && !it->second.shared) return it->second;
    // A stranger past the count of own queues joins the shared one. (A preferred sender always has
    // its own: there are at most a handful.)
    if (!preferred && qsizetype(lane.senders.size()) >= limits_.senders) {
        Sender& shared = lane.senders[QString()];
        shared.shared = true;
        return shared;
    }
    Sender& s = lane.senders[from];
    s.preferred = preferred;
    return s;
}

// The sender, of the given rank and other than `except`, that holds the most datagrams.
ReceiveQueue::Sender* ReceiveQueue::largest(Lane& lane, bool preferred, const Sender* except) {
    Sender* most = nullptr;
    for (auto& [address, s] : lane.senders) {
        if (&s == except || s.preferred != preferred || s.items.empty()) continue;
        if (!most || s.items.size() > most->items.size()) most = &s;
    }
    return most;
}

void ReceiveQueue::countDrop(const Lane& lane, const QString& from) {
    ++droppedTotal_;
    if (lane.port == 0) return;
    PortDrops& d = dropped_[lane.port];
    ++d.total;
    if (auto it = d.bySender.find(from); it != d.bySender.end()) ++*it;
    else if (d.bySender.size() < kNamedSenders) d.bySender.insert(from, 1);
}

void ReceiveQueue::forget(Lane& lane, Sender& sender) {
    for (auto it = lane.senders.begin(); it != lane.senders.end(); ++it)
        if (&it->second == &sender) {
            lane.senders.erase(it);
            return;
        }
}

void ReceiveQueue::dropNewest(Lane& lane, Sender& sender) {
    Item item = std::move(sender.items.back());
    sender.items.pop_back();
    sender.bytes -= item.payload.size();
    lane.bytes -= item.payload.size();
    --lane.items;
    --queued_;
    countDrop(lane, item.from);
    if (!sender.items.empty()) return;
    std::deque<Sender*>& turns = sender.preferred ? lane.preferredTurns : lane.strangerTurns;
    turns.erase(std::find(turns.begin(), turns.end(), &sender));
    forget(lane, sender);
}

bool ReceiveQueue::makeRoom(Lane& lane, const Sender& incoming, qsizetype size) {
    auto full = [&] { return lane.items >= limits_.capacity || lane.bytes + size > limits_.bytes; };
    while (full()) {
        // Strangers give way first; among senders of one rank the one holding the most, and only
        // when it holds more than the newcomer's sender would with this datagram.
        Sender* victim = largest(lane, false, incoming.preferred ? nullptr : &incoming);
        if (!incoming.preferred) {
            if (!victim || victim->items.size() <= incoming.items.size() + 1) return false;
        } else if (!victim) {
            victim = largest(lane, true, &incoming);
            if (!victim || victim->items.size() <= incoming.items.size() + 1) return false;
        }
        dropNewest(lane, *victim);
    }
    return true;
}

bool ReceiveQueue::push(int lane, QByteArray payload, QString from, quint16 fromPort) {
    const std::lock_guard lock(mutex_);
    auto it = lanes_.find(lane);
    if (it == lanes_.end()) return false;
    Lane& l = it->second;
    const qsizetype size = payload.size();
    Sender& s = senderFor(l, from, preferred(from));
    const bool overOwnShare = !s.preferred && (qsizetype(s.items.size()) >= limits_.senderCapacity ||
                                               s.bytes + size > limits_.senderBytes);
    if (overOwnShare || !makeRoom(l, s, size)) {
        countDrop(l, from);
        if (s.items.empty()) forget(l, s);
        return false;
    }
    if (s.items.empty()) (s.preferred ? l.preferredTurns : l.strangerTurns).push_back(&s);
    s.items.push_back({std::move(payload), std::move(from), fromPort, nextSequence_++});
    s.bytes += size;
    l.bytes += size;
    ++l.items;
    ++queued_;
    // A stranger's datagram held back by its lane's rate waits for the wake that is due anyway.
    if (s.preferred || !strangersWake_) post();
    return true;
}

void ReceiveQueue::post() {
    if (posted_ || wakeFd_ < 0) return;
    posted_ = true;
    eventfd_write(wakeFd_, 1);
}

// Among the lanes not on the stack and, when `withinShare`, that have not yet had their share of
// this turn: one with a preferred datagram before one without, then the one whose next datagram
// came first; 0 when there is none.
int ReceiveQueue::pick(bool withinShare, qint64 now) const {
    int best = 0;
    bool bestPreferred = false;
    quint64 bestSequence = 0;
    for (const auto& [id, l] : lanes_) {
        const Item* next = l.next(strangersAllowed(l, now));
        if (!next || l.busy) continue;
        if (withinShare && l.taken >= limits_.share) continue;
        const bool preferred = l.hasPreferred();
        if (best == 0 || (preferred && !bestPreferred) ||
            (preferred == bestPreferred && next->sequence < bestSequence)) {
            best = id;
            bestPreferred = preferred;
            bestSequence = next->sequence;
        }
    }
    return best;
}

// The next datagram of the lane: the sender whose turn it is gives its oldest, then waits for its
// next turn behind the others of its rank.
ReceiveQueue::Item ReceiveQueue::takeNext(Lane& lane) {
    if (lane.preferredTurns.empty()) {  // a stranger's: counted against the lane's second
        const qint64 now = nowMs();
        if (lane.strangersSince < 0 || now - lane.strangersSince >= 1000) {
            lane.strangersSince = now;
            lane.strangersServed = 0;
        }
        ++lane.strangersServed;
    }
    std::deque<Sender*>& turns = lane.preferredTurns.empty() ? lane.strangerTurns : lane.preferredTurns;
    Sender* s = turns.front();
    turns.pop_front();
    Item item = std::move(s->items.front());
    s->items.pop_front();
    s->bytes -= item.payload.size();
    lane.bytes -= item.payload.size();
    --lane.items;
    --queued_;
    if (s->items.empty()) forget(lane, *s);
    else turns.push_back(s);
    return item;
}

int ReceiveQueue::runTurn() {
    std::unique_lock lock(mutex_);
    for (auto& [id, l] : lanes_) l.taken = 0;
    int handled = 0;
    // After a handler: the lane may have gone (a rebind, a window closing) or still be there.
    auto restore = [this](int id) {
        delivering_.pop_back();
        if (auto it = lanes_.find(id); it != lanes_.end()) it->second.busy = false;
    };
    while (handled < limits_.budget) {
        // A lane past its share goes on only when no other lane has anything waiting.
        const qint64 now = nowMs();
        int id = pick(true, now);
        if (id == 0) id = pick(false, now);
        if (id == 0) break;
        Lane& l = lanes_.at(id);
        const Item item = takeNext(l);
        ++l.taken;
        ++handled;
        // The handler runs without the lock: it may close this lane or any other, or run a nested
        // turn; its deliverer is a copy.
        const Deliver deliver = l.deliver;
        l.busy = true;
        delivering_.push_back(l.port);
        lock.unlock();
        try {
            deliver(item.payload, item.from, item.fromPort);
        } catch (...) {
            // The application reports it and goes on; the rest still gets its turn.
            lock.lock();
            restore(id);
            post();
            throw;
        }
        lock.lock();
        restore(id);
    }
    // Lanes whose handler is on the stack are picked up again by the turn that returns to them;
    // strangers held back by their lane's rate by a wake when it lets them go on.
    const qint64 now = nowMs();
    if (pick(false, now) != 0) post();
    else if (!strangersWake_) wakeForStrangers(now);
    return handled;
}

qint64 ReceiveQueue::droppedTotal() const {
    const std::lock_guard lock(mutex_);
    return droppedTotal_;
}

qsizetype ReceiveQueue::queued() const {
    const std::lock_guard lock(mutex_);
    return queued_;
}

quint16 ReceiveQueue::deliveringPort() const {
    const std::lock_guard lock(mutex_);
    return delivering_.empty() ? 0 : delivering_.back();
}

QMap<quint16, ReceiveQueue::Dropped> ReceiveQueue::takeDropped() {
    const std::lock_guard lock(mutex_);
    QMap<quint16, Dropped> out;
    for (auto it = dropped_.cbegin(); it != dropped_.cend(); ++it) {
        Dropped d;
        d.total = it->total;
        for (auto s = it->bySender.cbegin(); s != it->bySender.cend(); ++s) d.senders.append({s.key(), s.value()});
        std::stable_sort(d.senders.begin(), d.senders.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        out.insert(it.key(), d);
    }
    dropped_.clear();
    return out;
}

}  // namespace Net
