#include "messaging/notice_window.h"

#include "net/datagram_endpoint.h"

TForm15::TForm15(const App::WindowContext& context)
    : AuxWindow(context, "TForm15", QStringLiteral("お知らせ(ctrl+o)"), QStringLiteral(" : お知らせ(ctrl+o)")) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(420, 200);
    NMUDP1 = makeEndpoint(Net::Ports::Notice);
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm15::NMUDP1DataReceived);
}

void TForm15::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
