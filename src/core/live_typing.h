#pragma once
// Live typing: after every key the whole input pane goes to the paired partner's monitor pane and,
// while the monitor feed is on, to the members' 8-person monitors. The main input pane and the
// sub-input window's panes feed it alike.
#include <QByteArray>
#include <QString>

namespace Net { class Outbox; }

namespace Core {

struct LiveTyping {
    QByteArray pane;              // the pane's text with CR LF breaks
    bool firstLineEmpty = false;  // the pane's first line is empty
    bool erased = false;          // the key was Backspace or ESC
    bool toPartner = false;       // a partner is paired
    bool toMonitors = false;      // "通信ｏｎ（送信する）"
    QString ownAddress;           // the monitor feed's sender field
};

void SendLiveTyping(Net::Outbox& outbox, const LiveTyping& typing);

}  // namespace Core
