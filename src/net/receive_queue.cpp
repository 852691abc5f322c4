#include "net/receive_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>
#include <algorithm>
#include <exception>

namespace Net {

ReceiveQueue::ReceiveQueue(Limits limits) : limits_(limits) {
    limits_.capacity = std::max(1, limits_.capacity);
    limits_.bytes = std::max<qsizetype>(1, limits_.bytes);
    limits_.budget = std::max(1, limits_.budget);
    limits_.share = std::clamp(limits_.share, 1, limits_.budget);
}

ReceiveQueue::~ReceiveQueue() {
    wake_.reset();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

int ReceiveQueue::openLane(Deliver deliver) {
    const int id = nextLane_++;
    lanes_[id].deliver = std::move(deliver);
    return id;
}

void ReceiveQueue::setLanePort(int lane, quint16 port) {
    if (auto it = lanes_.find(lane); it != lanes_.end()) it->second.port = port;
}

void ReceiveQueue::clearLane(int lane) {
    auto it = lanes_.find(lane);
    if (it == lanes_.end()) return;
    queued_ -= qsizetype(it->second.items.size());
    it->second.items.clear();
    it->second.bytes = 0;
}

void ReceiveQueue::closeLane(int lane) {
    clearLane(lane);
    lanes_.erase(lane);
}

bool ReceiveQueue::push(int lane, QByteArray payload, QString from, quint16 fromPort) {
    auto it = lanes_.find(lane);
    if (it == lanes_.end()) return false;
    Lane& l = it->second;
    if (qsizetype(l.items.size()) >= limits_.capacity || l.bytes + payload.size() > limits_.bytes) {
        if (l.port != 0) ++dropped_[l.port];
        ++droppedTotal_;
        return false;
    }
    l.bytes += payload.size();
    l.items.push_back({std::move(payload), std::move(from), fromPort, nextSequence_++});
    ++queued_;
    post();
    return true;
}

void ReceiveQueue::post() {
    if (posted_) return;
    if (!wake_) {
        wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wakeFd_ < 0) return;  // no turns: the datagrams wait (never seen on Linux)
        wake_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
        QObject::connect(wake_.get(), &QSocketNotifier::activated, [this] {
            eventfd_t n = 0;
            eventfd_read(wakeFd_, &n);
            posted_ = false;
            runTurn();
        });
    }
    posted_ = true;
    eventfd_write(wakeFd_, 1);
}

// The lane whose oldest datagram is the oldest of all, among the lanes not on the stack and, when
// `withinShare`, that have not yet had their share of this turn; 0 when there is none.
int ReceiveQueue::pick(bool withinShare) const {
    int best = 0;
    quint64 oldest = 0;
    for (const auto& [id, l] : lanes_) {
        if (l.items.empty() || l.busy) continue;
        if (withinShare && l.taken >= limits_.share) continue;
        if (best == 0 || l.items.front().sequence < oldest) {
            best = id;
            oldest = l.items.front().sequence;
        }
    }
    return best;
}

int ReceiveQueue::runTurn() {
    for (auto& [id, l] : lanes_) l.taken = 0;
    int handled = 0;
    while (handled < limits_.budget) {
        // A lane past its share goes on only when no other lane has anything waiting.
        int id = pick(true);
        if (id == 0) id = pick(false);
        if (id == 0) break;
        Lane& l = lanes_.at(id);
        const Item item = std::move(l.items.front());
        l.items.pop_front();
        l.bytes -= item.payload.size();
        --queued_;
        ++l.taken;
        ++handled;
        // The handler may close this lane or any other (a rebind, a window going away): the lane is
        // looked up again afterwards, and its deliverer is a copy.
        const Deliver deliver = l.deliver;
        l.busy = true;
        delivering_.push_back(l.port);
        // Restored even when a handler throws (the application reports it and goes on).
        struct Restore {
            ReceiveQueue& q;
            int id;
            ~Restore() {
                q.delivering_.pop_back();
                if (auto it = q.lanes_.find(id); it != q.lanes_.end()) it->second.busy = false;
                if (std::uncaught_exceptions() > 0) q.post();  // the rest still gets its turn
            }
        } restore{*this, id};
        deliver(item.payload, item.from, item.fromPort);
    }
    // Lanes whose handler is on the stack are picked up again by the turn that returns to them.
    if (pick(false) != 0) post();
    return handled;
}

QMap<quint16, qint64> ReceiveQueue::takeDropped() { return std::exchange(dropped_, {}); }

}  // namespace Net
