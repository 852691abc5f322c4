#pragma once
// The real network: QUdpSocket on the event loop of the user-interface thread.
#include "net/network.h"

namespace Net {

class UdpNetwork final : public Network {
public:
    std::unique_ptr<DatagramSocket> openSocket() override;
    HostIdentity hostIdentity() const override;
};

}  // namespace Net
