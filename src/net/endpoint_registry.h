#pragma once
// Every endpoint of a station, registered once by the factory that makes it, with whether the
// channel moves it: the channel change walks this registry instead of a list of its own.
#include <QList>
#include <QPointer>
#include <functional>
#include <vector>

namespace Net {

class DatagramEndpoint;

class EndpointRegistry {
public:
    // `followsChannel` narrows a shifted port further (the remote control rebinds only while one of
    // its modes is chosen); unset, the endpoint follows the channel whenever its port is shifted.
    void add(DatagramEndpoint* endpoint, std::function<bool()> followsChannel = {});
    // The endpoints the channel change rebinds now, in port order (registration order within a port).
    QList<DatagramEndpoint*> channelEndpoints() const;
    // Rebinds those endpoints to their ports of channel index c, in port order.
    void bindChannel(int c) const;

private:
    struct Entry {
        QPointer<DatagramEndpoint> endpoint;  // gone with its window
        std::function<bool()> followsChannel;
    };
    std::vector<Entry> entries_;
};

}  // namespace Net
