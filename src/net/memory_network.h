#pragma once
// An in-process LAN for tests: hosts with their own addresses, sockets bound per host and port,
// classful broadcast and loopback, delivery queued on the event loop like real datagrams.
// Every datagram sent is also kept in a log that tests read.
#include "net/network.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

namespace Net {

class MemoryNetwork;

class MemoryHost final : public Network {
public:
    MemoryHost(MemoryNetwork& lan, QStringList addresses, QString hostName);
    std::unique_ptr<DatagramSocket> openSocket() override;
    HostIdentity hostIdentity() const override { return {hostName_, addresses_}; }

    const QStringList& addresses() const { return addresses_; }
    QString primaryAddress() const { return addresses_.value(0, QStringLiteral("0.0.0.0")); }
    QList<quint16> boundPorts() const { return bound_.keys(); }

private:
    friend class MemorySocket;
    friend class MemoryNetwork;
    MemoryNetwork& lan_;
    QStringList addresses_;
    QString hostName_;
    QMap<quint16, QPointer<DatagramSocket>> bound_;
};

class MemoryNetwork {
public:
    struct Datagram {
        QString from;
        quint16 fromPort = 0;
        QString to;
        quint16 toPort = 0;
        QByteArray payload;
    };

    MemoryNetwork();
    ~MemoryNetwork();
    MemoryNetwork(const MemoryNetwork&) = delete;
    MemoryNetwork& operator=(const MemoryNetwork&) = delete;

    // A host with the given addresses (none: a computer without a usable network).
    MemoryHost& addHost(QStringList addresses, QString hostName);
    MemoryHost& addHost(const QString& address, const QString& hostName) { return addHost(QStringList{address}, hostName); }

    // Every datagram sent on this LAN, in order; tests clear and read it.
    const QList<Datagram>& sent() const { return sent_; }
    QList<Datagram> sentTo(quint16 port) const;
    void clearSent() { sent_.clear(); }

    // A datagram from a host that is not a station (a scripted peer, a malformed sender).
    void inject(const QString& from, quint16 fromPort, const QString& to, quint16 toPort, const QByteArray& payload);

    // Runs the event loop until every queued datagram has been handled (answers included).
    void deliverAll();
    // Datagrams on their way or waiting in a station's receive queue.
    int pending() const;

private:
    friend class MemorySocket;
    void send(MemoryHost& fromHost, quint16 fromPort, const QByteArray& payload, const QString& to, quint16 toPort);
    // Queues the datagram to every host that `to` reaches: its address or its classful broadcast.
    void route(const QString& to, quint16 toPort, const QByteArray& payload, const QString& from, quint16 fromPort);
    void queue(MemoryHost& host, quint16 port, const QByteArray& payload, const QString& from, quint16 fromPort);

    std::vector<std::unique_ptr<MemoryHost>> hosts_;
    QList<Datagram> sent_;
    QObject dispatcher_;
    int pending_ = 0;
    quint16 nextEphemeral_ = 40000;
};

}  // namespace Net
