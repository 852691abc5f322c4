#include "net/endpoint_registry.h"

#include "net/datagram_endpoint.h"

#include <algorithm>

namespace Net {

void EndpointRegistry::add(DatagramEndpoint* endpoint, std::function<bool()> followsChannel) {
    entries_.push_back({endpoint, std::move(followsChannel)});
}

QList<DatagramEndpoint*> EndpointRegistry::channelEndpoints() const {
    QList<DatagramEndpoint*> out;
    for (const Entry& e : entries_) {
        if (!e.endpoint || !e.endpoint->entry().shifted) continue;
        if (e.followsChannel && !e.followsChannel()) continue;
        out << e.endpoint.data();
    }
    std::stable_sort(out.begin(), out.end(), [](const DatagramEndpoint* a, const DatagramEndpoint* b) {
        return a->basePort() < b->basePort();
    });
    return out;
}

void EndpointRegistry::bindChannel(int c) const {
    for (DatagramEndpoint* e : channelEndpoints()) e->bindChannel(c);
}

}  // namespace Net
