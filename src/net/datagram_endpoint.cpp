#include "net/datagram_endpoint.h"

#include "net/addressing.h"

namespace Net {

DatagramEndpoint::DatagramEndpoint(Network& network, const PortEntry& entry, QObject* parent)
    : QObject(parent), network_(network), entry_(&entry) {
    setObjectName(QString::fromLatin1(entry.endpoint));
}

DatagramEndpoint::~DatagramEndpoint() = default;

bool DatagramEndpoint::bindChannel(int channelIndex) {
    return bindPort(portFor(*entry_, entry_->basePort, channelIndex));
}

void DatagramEndpoint::retire(std::unique_ptr<DatagramSocket> socket) {
    if (!socket) return;
    socket->disconnect(this);
    socket->close();
    if (delivering_ == 0) return;  // nothing of it is on the stack: it goes now
    // Its own delivery loop is further up the stack; it is deleted once control is back in the
    // event loop that ran that delivery.
    retired_.push_back(std::move(socket));
}

bool DatagramEndpoint::bindPort(quint16 port) {
    retire(std::move(socket_));  // the old socket is closed before the new one binds
    socket_ = network_.openSocket();
    connect(socket_.get(), &DatagramSocket::received, this, &DatagramEndpoint::acceptDatagram);
    channelPort_ = port;
    return socket_->bind(port);
}

bool DatagramEndpoint::isBound() const { return socket_ && socket_->isBound(); }

void DatagramEndpoint::sendTo(const QString& host, quint16 port, const QByteArray& payload) {
    if (!socket_) socket_ = network_.openSocket();
    QString error;
    if (!socket_->sendTo(payload, PlainAddress(host), port, &error)) emit sendError(error);
}

void DatagramEndpoint::acceptDatagram(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort) {
    if (entry_->maxBytes == 0) return;  // send-only endpoint
    if (gate && !gate()) return;
    if (datagram.size() >= entry_->maxBytes) return;
    QByteArray text = datagram;
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0) text.truncate(nul);
    if (entry_->loopbackGuard && siblingCopyOn && siblingCopyOn() && fromAddress == QLatin1String("127.0.0.1")) return;
    if (entry_->scrambled && unscramble) text = unscramble(text);
    ++delivering_;
    emit received(text, fromAddress, fromPort);
    if (--delivering_ == 0)
        for (auto& s : std::exchange(retired_, {})) s.release()->deleteLater();
}

}  // namespace Net
