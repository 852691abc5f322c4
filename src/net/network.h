#pragma once
// What a station needs from the network: datagram sockets and the host's own identity.
// UdpNetwork is the real one; MemoryNetwork joins several stations in one process for tests.
#include "net/receive_queue.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace Net {

// One UDP socket: bound on all local addresses, sends single datagrams, reports each arrival.
class DatagramSocket : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DatagramSocket() override = default;

    // Binds to the port on every local address, without sharing it; false when the port is taken.
    virtual bool bind(quint16 port) = 0;
    virtual void close() = 0;
    virtual bool isBound() const = 0;
    // `host` is dotted text or a host name; false (with `error`) when it cannot be resolved.
    virtual bool sendTo(const QByteArray& payload, const QString& host, quint16 port, QString* error) = 0;

signals:
    void received(const QByteArray& payload, const QString& fromAddress, quint16 fromPort);
};

struct HostIdentity {
    QString hostName;          // empty when the name cannot be read
    QStringList ipv4Addresses; // up, non-loopback interfaces, in interface order
};

class Network {
public:
    virtual ~Network() = default;
    virtual std::unique_ptr<DatagramSocket> openSocket() = 0;
    virtual HostIdentity hostIdentity() const = 0;

    // Where the station's endpoints queue what their sockets receive (one per station).
    ReceiveQueue& receiveQueue() { return receiveQueue_; }
    const ReceiveQueue& receiveQueue() const { return receiveQueue_; }

private:
    ReceiveQueue receiveQueue_;
};

}  // namespace Net
