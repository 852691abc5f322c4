#pragma once
// One endpoint per port, owned by its window: local port, the destination of the next send, and
// the receive discipline shared by every handler (gate, size limit, NUL end, loopback guard,
// unscrambling) before the text reaches the window's own logic.
#include "net/network.h"
#include "net/port_plan.h"

#include <QByteArray>
#include <QObject>
#include <QString>
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
    void setEntry(const PortEntry& entry) { entry_ = &entry; }
    quint16 basePort() const { return entry_->basePort; }

    // Binds local and remote port to base + 100 × channel (unshifted ports stay). Closes the old
    // socket first; a port that is taken leaves the endpoint unbound, silently.
    bool bindChannel(int channelIndex);
    bool bindPort(quint16 port);
    bool isBound() const;
    quint16 localPort() const { return localPort_; }

    // Destination of the next send; senders set it immediately before each send.
    QString remoteHost;
    quint16 remotePort = 0;

    void send(const QByteArray& payload);

    // Receive discipline hooks, read at every arrival.
    std::function<bool()> gate;             // options that switch the receiver off
    std::function<bool()> siblingCopyOn;    // "７ｗに表示": drop datagrams from 127.0.0.1
    std::function<QByteArray(const QByteArray&)> unscramble;  // only called for scrambled ports

    // Runs the discipline on one arriving datagram; emits `received` when it passes.
    void acceptDatagram(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort);

signals:
    // The text of a datagram that passed the discipline (NUL-ended, unscrambled).
    void received(const QByteArray& text, const QString& fromAddress, quint16 fromPort);
    void sendError(const QString& message);

private:
    Network& network_;
    const PortEntry* entry_;
    std::unique_ptr<DatagramSocket> socket_;
    quint16 localPort_ = 0;
};

// Remembers the remote port, sends to 127.0.0.1 on the sibling port, puts the remote port back.
void SendToSibling(DatagramEndpoint& endpoint, quint16 siblingPort, const QByteArray& payload);

}  // namespace Net
