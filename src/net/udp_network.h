#pragma once
// The real network: UDP sockets of the system. Sending happens on the user-interface thread, where
// the handlers run. Reading happens on a thread of the network's own, which only takes what the
// kernel holds into the receive queue: a kernel buffer holds a few milliseconds of a flood, and a
// busy display (or a busy computer) must not leave a member's line in it to be dropped. What is
// read is handled on the user-interface thread, in the queue's turns, as before.
#include "net/network.h"

#include <memory>

namespace Net {

class UdpNetwork final : public Network {
public:
    UdpNetwork();
    ~UdpNetwork() override;
    std::unique_ptr<DatagramSocket> openSocket() override;
    HostIdentity hostIdentity() const override;

    class Reader;

private:
    std::shared_ptr<Reader> reader_;  // the sockets hold it too: one may outlive the network
};

}  // namespace Net
