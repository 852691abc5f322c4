#include "net/outbox.h"

#include "net/addressing.h"
#include "net/datagram_endpoint.h"

namespace Net {

std::optional<QByteArray> Outbox::wire(const PortEntry& port, const QByteArray& plain) const {
    std::optional<QByteArray> w = port.scrambled && scramble ? scramble(plain) : std::optional<QByteArray>(plain);
    if (w && port.maxBytes > 0 && w->size() >= port.maxBytes) return std::nullopt;
    return w;
}

std::optional<QByteArray> Outbox::toMembers(const PortEntry& port, const QByteArray& plain) {
    const auto w = wire(port, plain);
    if (!w) return std::nullopt;
    if (members)
        for (const QString& address : members()) transmit(port, address, 0, *w);
    return w;
}

void Outbox::toMembersAndSibling(const PortEntry& port, quint16 siblingPort, const QByteArray& plain) {
    if (const auto w = toMembers(port, plain)) toSibling(port, siblingPort, *w);
}

void Outbox::toSibling(const PortEntry& port, quint16 siblingPort, const QByteArray& bytes) {
    if (siblingOn && siblingOn()) transmit(port, QStringLiteral("127.0.0.1"), siblingPort, bytes);
}

bool Outbox::toPartner(const PortEntry& port, const QByteArray& plain) {
    return partner && toHost(port, partner(), plain);
}

bool Outbox::toHost(const PortEntry& port, const QString& host, const QByteArray& plain) {
    const auto w = wire(port, plain);
    if (w) transmit(port, host, 0, *w);
    return w.has_value();
}

void Outbox::toBroadcastOf(const PortEntry& port, const QString& address, const QByteArray& plain) {
    toHost(port, ClassfulBroadcast(address), plain);
}

void EndpointOutbox::add(DatagramEndpoint* endpoint) { endpoints_.insert(&endpoint->entry(), endpoint); }

void EndpointOutbox::transmit(const PortEntry& port, const QString& host, quint16 remotePort, const QByteArray& wire) {
    DatagramEndpoint* e = endpoints_.value(&port);
    if (!e) return;
    e->sendTo(host, remotePort ? remotePort : e->channelPort(), wire);
}

}  // namespace Net
