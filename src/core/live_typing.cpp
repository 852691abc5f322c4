#include "core/live_typing.h"

#include "net/caption_protocol.h"
#include "net/outbox.h"

namespace Core {

void SendLiveTyping(Net::Outbox& outbox, const LiveTyping& t) {
    namespace Wire = Net::Wire;
    if (t.toPartner)
        outbox.toPartner(Net::Ports::MainPartner, Wire::PartnerLiveText(t.pane, t.firstLineEmpty, t.erased));
    if (!t.toMonitors) return;
    const QByteArray text = Wire::MonitorLiveText(t.pane, t.firstLineEmpty, t.erased);
    outbox.toMembers(Net::Ports::MainMonitorFeed, Wire::MonitorFeed(t.ownAddress, text));
}

}  // namespace Core
