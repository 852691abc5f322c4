#pragma once
// What the main window hands to the windows it creates: the station, the hot keys every window
// carries, the endpoint factory and the registry of windows. Windows that need more get a narrow
// interface of their own.
#include <functional>

class QObject;
class QString;

namespace Net {
class DatagramEndpoint;
struct PortEntry;
}

namespace App {

struct Station;
class WindowRegistry;

class HotKeyTarget {
public:
    virtual ~HotKeyTarget() = default;
    // One of the hidden menu items: hkey_main, hkey_fkeymemo, hkeyrenraku1, …
    virtual void HotKey(const QString& item) = 0;
};

class EndpointFactory {
public:
    virtual ~EndpointFactory() = default;
    // An endpoint owned by `owner`, bound at once to its port of the current channel, with the
    // receive discipline of the station, and the way out for its traffic. It is registered for the
    // channel change, which moves it while its port is shifted and `followsChannel` (if set) holds.
    virtual Net::DatagramEndpoint* makeEndpoint(const Net::PortEntry& entry, QObject* owner,
                                                std::function<bool()> followsChannel) = 0;
};

struct WindowContext {
    Station& station;
    HotKeyTarget& hotKeys;
    EndpointFactory& endpoints;
    WindowRegistry& windows;
};

}  // namespace App
