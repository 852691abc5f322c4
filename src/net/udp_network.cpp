#include "net/udp_network.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <QVariant>
#include <deque>
#include <unistd.h>

namespace Net {
namespace {

class UdpSocket final : public DatagramSocket {
public:
    UdpSocket() { open(); }

    bool bind(quint16 port) override {
        if (socket_->state() != QAbstractSocket::UnconnectedState) open();
        // No address reuse: a second copy of the program in the same channel must fail to bind.
        bound_ = socket_->bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress);
        // Room for a burst of lines while the display is busy (the kernel may grant less).
        if (bound_) socket_->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(1 << 20));
        return bound_;
    }

    void close() override {
        socket_->close();
        bound_ = false;
    }

    bool isBound() const override { return bound_; }

    bool sendTo(const QByteArray& payload, const QString& host, quint16 port, QString* error) override {
        QHostAddress address(host);
        if (address.isNull()) {
            const QHostInfo info = QHostInfo::fromName(host);
            for (const QHostAddress& a : info.addresses())
                if (a.protocol() == QAbstractSocket::IPv4Protocol) { address = a; break; }
            if (address.isNull()) {
                if (error) *error = info.errorString();
                return false;
            }
        }
        socket_->writeDatagram(payload, address, port);  // a failed send is silent
        return true;
    }

private:
    void open() {
        socket_ = std::make_unique<QUdpSocket>();
        bound_ = false;
        QObject::connect(socket_.get(), &QUdpSocket::readyRead, this, [this] { drain(); });
    }

    // Everything the kernel holds is taken into our own queue before each datagram is handled,
    // so a burst from a fast sender never overflows the socket's buffer while the display works.
    void readPending() {
        while (socket_->hasPendingDatagrams()) queue_.push_back(socket_->receiveDatagram());
    }

    void drain() {
        readPending();
        if (draining_) return;  // a handler's nested event loop: the outer loop handles them in order
        draining_ = true;
        while (!queue_.empty()) {
            const QNetworkDatagram d = std::move(queue_.front());
            queue_.pop_front();
            const QHostAddress from = d.senderAddress();
            bool ok = false;
            const quint32 v4 = from.toIPv4Address(&ok);
            emit received(d.data(), ok ? QHostAddress(v4).toString() : from.toString(), quint16(d.senderPort()));
            readPending();
        }
        draining_ = false;
    }

    std::unique_ptr<QUdpSocket> socket_;
    std::deque<QNetworkDatagram> queue_;
    bool draining_ = false;
    bool bound_ = false;
};

}  // namespace

std::unique_ptr<DatagramSocket> UdpNetwork::openSocket() { return std::make_unique<UdpSocket>(); }

HostIdentity UdpNetwork::hostIdentity() const {
    HostIdentity id;
    char name[257] = {};
    if (gethostname(name, sizeof name - 1) == 0) id.hostName = QString::fromLocal8Bit(name);
    // The host-name lookup on Linux usually answers a loopback address; the interfaces do not.
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack)) continue;
        for (const QNetworkAddressEntry& e : iface.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) id.ipv4Addresses << a.toString();
        }
    }
    return id;
}

}  // namespace Net
