#pragma once
// Which boxes arrive with datagrams, and which of them may be shown. The kind of a receipt box is
// the port its datagram came in on: a second group-full answer, or a second transfer with a
// greeting, finds the first box still open and shows nothing.
#include "net/network.h"

#include <QSet>

namespace App {

class ReceiptBoxes {
public:
    explicit ReceiptBoxes(const Net::Network* network = nullptr) : network_(network) {}

    // The kind of a box shown now: 0 when no datagram's handler is running (a box of the user's own
    // doing, shown as before).
    quint16 kindNow() const { return network_ ? network_->receiveQueue().deliveringPort() : 0; }
    // Marks a box of `kind` open; false when one is open already and this one must not be shown.
    bool admit(quint16 kind) {
        if (open_.contains(kind)) return false;
        open_.insert(kind);
        return true;
    }
    void closed(quint16 kind) { open_.remove(kind); }
    qsizetype openCount() const { return open_.size(); }
    void closeAll() { open_.clear(); }

private:
    const Net::Network* network_;
    QSet<quint16> open_;
};

}  // namespace App
