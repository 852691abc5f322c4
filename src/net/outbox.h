#pragma once
// The one way out of a station: every datagram leaves through here, to an explicit destination.
// Members get one copy each in slot order, the partner its own, the sibling display its loopback
// copy, member search the classful broadcast; payloads of the ports the port plan marks scrambled
// are scrambled here, once, while scrambling is on.
#include "net/port_plan.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace Net {

class DatagramEndpoint;

class Outbox {
public:
    virtual ~Outbox() = default;

    // Addresses of the checked member slots, in slot order; the partner's address (empty: none);
    // whether "７ｗに表示" is on. Read at every send.
    std::function<QStringList()> members;
    std::function<QString()> partner;
    std::function<bool()> siblingOn;
    // The payload transform of scrambled ports while scrambling is on; nullopt refuses the send
    // (a text too long to scramble is never sent plain). Unset: payloads pass unchanged.
    std::function<std::optional<QByteArray>(const QByteArray&)> scramble;

    // What a plain payload becomes on the wire of this port; nullopt when it must not be sent: too
    // long to scramble, or too long for the receivers, which ignore a datagram at their limit.
    std::optional<QByteArray> wire(const PortEntry& port, const QByteArray& plain) const;

    // One copy to each member; returns the wire form sent (nullopt: refused).
    std::optional<QByteArray> toMembers(const PortEntry& port, const QByteArray& plain);
    // To the members, then the same wire form to the sibling display on `siblingPort`.
    void toMembersAndSibling(const PortEntry& port, quint16 siblingPort, const QByteArray& plain);
    // The bytes as given to 127.0.0.1:siblingPort, while "７ｗに表示" is on (received texts are
    // forwarded after unscrambling; own ones are passed in their wire form).
    void toSibling(const PortEntry& port, quint16 siblingPort, const QByteArray& bytes);
    // To the paired partner, on this port; false when refused.
    bool toPartner(const PortEntry& port, const QByteArray& plain);
    // To one host, on this port; false when refused.
    bool toHost(const PortEntry& port, const QString& host, const QByteArray& plain);
    // To the directed broadcast of the address's classful network.
    void toBroadcastOf(const PortEntry& port, const QString& address, const QByteArray& plain);

protected:
    // Sends one datagram from the endpoint of `port`; `remotePort` 0 means the port of the current
    // channel (the peers' endpoint for the same traffic).
    virtual void transmit(const PortEntry& port, const QString& host, quint16 remotePort, const QByteArray& wire) = 0;
};

// The outbox of a running station: sends through the endpoints its windows registered.
class EndpointOutbox final : public Outbox {
public:
    // The endpoint that sends the traffic of its port entry (the last one registered wins).
    void add(DatagramEndpoint* endpoint);
    DatagramEndpoint* endpoint(const PortEntry& port) const { return endpoints_.value(&port); }

protected:
    void transmit(const PortEntry& port, const QString& host, quint16 remotePort, const QByteArray& wire) override;

private:
    QHash<const PortEntry*, DatagramEndpoint*> endpoints_;
};

}  // namespace Net
