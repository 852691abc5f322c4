#include "net/datagram_endpoint.h"

namespace Net {

DatagramEndpoint::DatagramEndpoint(Network& network, const PortEntry& entry, QObject* parent)
    : QObject(parent), network_(network), entry_(&entry) {
    setObjectName(QString::fromLatin1(entry.endpoint));
}

DatagramEndpoint::~DatagramEndpoint() = default;

bool DatagramEndpoint::bindChannel(int channelIndex) {
    return bindPort(portFor(*entry_, entry_->basePort, channelIndex));
}

bool DatagramEndpoint::bindPort(quint16 port) {
    socket_.reset();  // the old socket is closed before the new one binds
    socket_ = network_.openSocket();
    connect(socket_.get(), &DatagramSocket::received, this, &DatagramEndpoint::acceptDatagram);
    localPort_ = port;
    remotePort = port;
    return socket_->bind(port);
}

bool DatagramEndpoint::isBound() const { return socket_ && socket_->isBound(); }

void DatagramEndpoint::send(const QByteArray& payload) {
    if (!socket_) socket_ = network_.openSocket();
    QString error;
    if (!socket_->sendTo(payload, remoteHost, remotePort, &error)) emit sendError(error);
}

void DatagramEndpoint::acceptDatagram(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort) {
    if (entry_->maxBytes == 0) return;  // send-only endpoint
    if (gate && !gate()) return;
    if (datagram.size() >= entry_->maxBytes) return;
    QByteArray text = datagram;
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0) text.truncate(nul);
    if (entry_->loopbackGuard && siblingCopyOn && siblingCopyOn() && fromAddress == QLatin1String("127.0.0.1")) return;
    if (entry_->scrambled && unscramble) text = unscramble(text);
    emit received(text, fromAddress, fromPort);
}

void SendToSibling(DatagramEndpoint& endpoint, quint16 siblingPort, const QByteArray& payload) {
    const quint16 remembered = endpoint.remotePort;
    endpoint.remotePort = siblingPort;
    endpoint.remoteHost = QStringLiteral("127.0.0.1");
    endpoint.send(payload);
    endpoint.remotePort = remembered;
}

}  // namespace Net
