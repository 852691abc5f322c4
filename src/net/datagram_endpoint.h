#pragma once
// One endpoint per port, owned by its window: its local port and the receive discipline shared by
// every handler (gate, size limit, NUL end, loopback guard, unscrambling) before the text reaches the
// window's own logic. Sending goes through the station's outbox, always to an explicit destination.
#include "net/network.h"
#include "net/port_plan.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace Net {

class DatagramEndpoint : public QObject {
    Q_OBJECT
public:
    DatagramEndpoint(Network& network, const PortEntry& entry, QObject* parent = nullptr);
    ~DatagramEndpoint() override;

    const PortEntry& entry() const { return *entry_; }
    // The remote-control window moves between two bases; every other endpoint keeps its own.
    void setEntry(const PortEntry& entry);
    quint16 basePort() const { return entry_->basePort; }

    // Binds to base + 100 × channel (unshifted ports stay). Closes the old socket first; a port that
    // is taken leaves the endpoint unbound, silently.
    bool bindChannel(int channelIndex);
    bool bindPort(quint16 port);
    bool isBound() const;
    // The port of the current channel: where it listens, and where its datagrams go on the peers.
    quint16 channelPort() const { return channelPort_; }

    // One datagram to host:port. A dotted address goes out in plain decimal form.
    void sendTo(const QString& host, quint16 port, const QByteArray& payload);

    // Receive discipline hooks, read at every arrival.
    std::function<bool()> gate;             // options that switch the receiver off
    std::function<bool()> siblingCopyOn;    // "７ｗに表示": drop datagrams from 127.0.0.1
    std::function<QByteArray(const QByteArray&)> unscramble;  // only called for scrambled ports

    // Runs the discipline on one datagram whose turn has come; emits `received` when it passes.
    void acceptDatagram(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort);
    // Queues what the socket received; a datagram at or above the size limit is ignored at once.
    // Runs on the thread the network reads on.
    void arrived(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort);

signals:
    // The text of a datagram that passed the discipline (NUL-ended, unscrambled).
    void received(const QByteArray& text, const QString& fromAddress, quint16 fromPort);
    void sendError(const QString& message);

private:
    Network& network_;
    const PortEntry* entry_;
    std::atomic<int> maxBytes_;  // the entry's limit, read by arrived() on the network's thread
    std::unique_ptr<DatagramSocket> socket_;
    quint16 channelPort_ = 0;
    int lane_ = 0;  // in the network's receive queue
};

}  // namespace Net
