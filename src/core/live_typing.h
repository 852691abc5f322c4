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

    // The pane as the typist sees it (line breaks as LF): its bytes and whether its first line is empty.
    void setPane(const QString& shown);
};

// What a pane shows while the input method composes in place: the committed text with the
// composition at `at` (a position in `committed`, clamped to it). Partners watch this, so that a
// typist in the middle of a phrase does not look idle until the commit.
QString WithComposition(const QString& committed, qsizetype at, const QString& composition);

void SendLiveTyping(Net::Outbox& outbox, const LiveTyping& typing);

}  // namespace Core
