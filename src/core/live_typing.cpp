#include "core/live_typing.h"

#include "net/caption_protocol.h"
#include "net/outbox.h"
#include "text/cp932.h"

namespace Core {

void LiveTyping::setPane(const QString& shown) {
    pane = Cp932::encodeCrLf(shown);
    const qsizetype end = shown.indexOf(u'\n');
    firstLineEmpty = (end < 0 ? shown.size() : end) == 0;
}

QString WithComposition(const QString& committed, qsizetype at, const QString& composition) {
    if (composition.isEmpty()) return committed;
    QString shown = committed;
    shown.insert(qBound<qsizetype>(0, at, committed.size()), composition);
    return shown;
}

void SendLiveTyping(Net::Outbox& outbox, const LiveTyping& t) {
    namespace Wire = Net::Wire;
    if (t.toPartner)
        outbox.toPartner(Net::Ports::MainPartner, Wire::PartnerLiveText(t.pane, t.firstLineEmpty, t.erased));
    if (!t.toMonitors) return;
    const QByteArray text = Wire::MonitorLiveText(t.pane, t.firstLineEmpty, t.erased);
    outbox.toMembers(Net::Ports::MainMonitorFeed, Wire::MonitorFeed(t.ownAddress, text));
}

}  // namespace Core
