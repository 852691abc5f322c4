#include "prepared/correction_palette.h"

#include "net/datagram_endpoint.h"

TFkakunin::TFkakunin(const App::WindowContext& context, std::function<bool()> monitorShown)
    : AuxWindow(context, "TFkakunin", QStringLiteral("確認・修正パレット(ctrl+s)"),
                QStringLiteral(" :確認修正パレット(ctrl+s)")) {
    resize(520, 360);
    using E = Net::DatagramEndpoint;
    NMUDP3 = makeEndpoint(Net::Ports::PaletteTraffic);
    NMUDP1 = makeEndpoint(Net::Ports::PaletteLines);
    NMUDP2 = makeEndpoint(Net::Ports::PaletteMonitorFeed);
    // The correction-monitor feed is read only while that window is shown.
    NMUDP2->gate = std::move(monitorShown);
    connect(NMUDP1, &E::received, this, &TFkakunin::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &TFkakunin::NMUDP2DataReceived);
    connect(NMUDP3, &E::received, this, &TFkakunin::NMUDP3DataReceived);
}

void TFkakunin::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
void TFkakunin::NMUDP2DataReceived(const QByteArray&, const QString&, quint16) {}
void TFkakunin::NMUDP3DataReceived(const QByteArray&, const QString&, quint16) {}
