#include "net/datagram_endpoint.h"

#include "net/addressing.h"

namespace Net {

DatagramEndpoint::DatagramEndpoint(Network& network, const PortEntry& entry, QObject* parent)
    : QObject(parent), network_(network), entry_(&entry), maxBytes_(entry.maxBytes) {
    setObjectName(QString::fromLatin1(entry.endpoint));
    lane_ = network_.receiveQueue().openLane(
        [this](const QByteArray& d, const QString& from, quint16 fromPort) { acceptDatagram(d, from, fromPort); });
}

DatagramEndpoint::~DatagramEndpoint() {
    socket_.reset();  // nothing arrives once the lane is gone
    network_.receiveQueue().closeLane(lane_);
}

void DatagramEndpoint::setEntry(const PortEntry& entry) {
    entry_ = &entry;
    maxBytes_ = entry.maxBytes;
}

bool DatagramEndpoint::bindChannel(int channelIndex) {
    return bindPort(portFor(*entry_, entry_->basePort, channelIndex));
}

bool DatagramEndpoint::bindPort(quint16 port) {
    // The old socket is closed before the new one binds; what it had queued is lost with it.
    // Handlers never run on a socket's stack (they run in the queue's turns), so it can go now.
    socket_.reset();
    network_.receiveQueue().clearLane(lane_);
    socket_ = network_.openSocket();
    // Directly, on whatever thread the network reads on: arrived() only queues.
    connect(socket_.get(), &DatagramSocket::received, this, &DatagramEndpoint::arrived, Qt::DirectConnection);
    channelPort_ = port;
    network_.receiveQueue().setLanePort(lane_, port);
    return socket_->bind(port);
}

bool DatagramEndpoint::isBound() const { return socket_ && socket_->isBound(); }

void DatagramEndpoint::sendTo(const QString& host, quint16 port, const QByteArray& payload) {
    if (!socket_) socket_ = network_.openSocket();
    QString error;
    if (!socket_->sendTo(payload, PlainAddress(host), port, &error)) emit sendError(error);
}

void DatagramEndpoint::arrived(const QByteArray& datagram, const QString& fromAddress, quint16 fromPort) {
    const int maxBytes = maxBytes_;
    if (maxBytes == 0) return;                  // send-only endpoint
    if (datagram.size() >= maxBytes) return;   // ignored unread, whatever the options
    network_.receiveQueue().push(lane_, datagram, fromAddress, fromPort);
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

}  // namespace Net
