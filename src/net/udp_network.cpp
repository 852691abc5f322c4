#include "net/udp_network.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>
#include <QVariant>
#include <array>
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
        // Datagrams go straight to the LAN: no proxy, and no asking the system for one on every
        // bind (each question waits for a thread of the proxy library).
        socket_->setProxy(QNetworkProxy::NoProxy);
        bound_ = false;
        QObject::connect(socket_.get(), &QUdpSocket::readyRead, this, [this] { readPending(); });
    }

    // Takes what the kernel holds into the endpoint's queue, which bounds it and counts what it
    // cannot take. At most a batch per wake-up: under a flood the notifier fires again on the next
    // turn of the event loop, after the other sockets and the queued handlers have had theirs.
    void readPending() {
        for (int n = 0; n < kBatch && socket_->hasPendingDatagrams(); ++n) {
            QHostAddress from;
            quint16 fromPort = 0;
            // Anything longer than the buffer is over every receive limit anyway.
            const qint64 size = socket_->readDatagram(buffer_.data(), buffer_.size(), &from, &fromPort);
            if (size < 0) break;
            bool ok = false;
            const quint32 v4 = from.toIPv4Address(&ok);
            emit received(QByteArray(buffer_.data(), size), ok ? QHostAddress(v4).toString() : from.toString(),
                          fromPort);
        }
    }

    static constexpr int kBatch = 512;
    std::unique_ptr<QUdpSocket> socket_;
    std::array<char, 4096> buffer_{};
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
