#include "net/memory_network.h"

#include "net/addressing.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace Net {

class MemorySocket final : public DatagramSocket {
public:
    explicit MemorySocket(MemoryHost& host) : host_(host) {}
    ~MemorySocket() override { close(); }

    bool bind(quint16 port) override {
        close();
        auto it = host_.bound_.find(port);
        if (it != host_.bound_.end() && !it.value().isNull()) return false;
        host_.bound_[port] = this;
        port_ = port;
        return true;
    }

    void close() override {
        if (port_ != 0 && host_.bound_.value(port_) == this) host_.bound_.remove(port_);
        port_ = 0;
    }

    bool isBound() const override { return port_ != 0; }

    bool sendTo(const QByteArray& payload, const QString& host, quint16 port, QString* error) override {
        if (CheckAddress(host) != 0 && host != QLatin1String("127.0.0.1") && host != QLatin1String("255.255.255.255")) {
            if (error) *error = QStringLiteral("Host not found");
            return false;
        }
        if (port_ == 0) ephemeral_ = ephemeral_ ? ephemeral_ : host_.lan_.nextEphemeral_++;
        host_.lan_.send(host_, port_ ? port_ : ephemeral_, payload, host, port);
        return true;
    }

    void deliver(const QByteArray& payload, const QString& from, quint16 fromPort) { emit received(payload, from, fromPort); }

private:
    MemoryHost& host_;
    quint16 port_ = 0;
    quint16 ephemeral_ = 0;
};

MemoryHost::MemoryHost(MemoryNetwork& lan, QStringList addresses, QString hostName)
    : lan_(lan), addresses_(std::move(addresses)), hostName_(std::move(hostName)) {}

std::unique_ptr<DatagramSocket> MemoryHost::openSocket() { return std::make_unique<MemorySocket>(*this); }

MemoryNetwork::MemoryNetwork() = default;
MemoryNetwork::~MemoryNetwork() = default;

MemoryHost& MemoryNetwork::addHost(QStringList addresses, QString hostName) {
    hosts_.push_back(std::make_unique<MemoryHost>(*this, std::move(addresses), std::move(hostName)));
    return *hosts_.back();
}

QList<MemoryNetwork::Datagram> MemoryNetwork::sentTo(quint16 port) const {
    QList<Datagram> out;
    for (const Datagram& d : sent_)
        if (d.toPort == port) out << d;
    return out;
}

void MemoryNetwork::send(MemoryHost& fromHost, quint16 fromPort, const QByteArray& payload, const QString& to,
                         quint16 toPort) {
    const bool loopback = to == QLatin1String("127.0.0.1");
    const QString from = loopback ? to : fromHost.primaryAddress();
    sent_.append({from, fromPort, to, toPort, payload});
    if (loopback) {
        queue(fromHost, toPort, payload, from, fromPort);
        return;
    }
    route(to, toPort, payload, from, fromPort);
}

void MemoryNetwork::inject(const QString& from, quint16 fromPort, const QString& to, quint16 toPort,
                           const QByteArray& payload) {
    sent_.append({from, fromPort, to, toPort, payload});
    route(to, toPort, payload, from, fromPort);
}

void MemoryNetwork::route(const QString& to, quint16 toPort, const QByteArray& payload, const QString& from,
                          quint16 fromPort) {
    for (const auto& h : hosts_) {
        bool reaches = to == QLatin1String("255.255.255.255");
        for (const QString& a : h->addresses_)
            reaches = reaches || a == to || ClassfulBroadcast(a) == to;
        if (reaches) queue(*h, toPort, payload, from, fromPort);
    }
}

void MemoryNetwork::queue(MemoryHost& host, quint16 port, const QByteArray& payload, const QString& from,
                          quint16 fromPort) {
    ++pending_;
    MemoryHost* h = &host;
    QMetaObject::invokeMethod(
        &dispatcher_,
        [this, h, port, payload, from, fromPort] {
            --pending_;
            // The receiver is looked up on arrival: a socket closed or rebound meanwhile misses it.
            QPointer<DatagramSocket> s = h->bound_.value(port);
            if (s) static_cast<MemorySocket*>(s.data())->deliver(payload, from, fromPort);
        },
        Qt::QueuedConnection);
}

int MemoryNetwork::pending() const {
    qsizetype n = pending_;
    for (const auto& h : hosts_) n += h->receiveQueue().queued();
    return int(n);
}

void MemoryNetwork::deliverAll() {
    for (int guard = 0; pending() > 0 && guard < 100000; ++guard)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace Net
