#pragma once
// TFkakunin: the confirmation and correction palette, lines held for checking before display.
#include "app/aux_window.h"

#include <functional>

class TFkakunin : public AuxWindow {
    Q_OBJECT
public:
    // `monitorShown`: the correction monitor is on screen, so its feed is read.
    TFkakunin(const App::WindowContext& context, std::function<bool()> monitorShown);
    QList<Net::DatagramEndpoint*> channelEndpoints() override { return {NMUDP3, NMUDP1, NMUDP2}; }

    Net::DatagramEndpoint* NMUDP3 = nullptr;  // 6717 palette traffic
    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6730 lines sent to the palette
    Net::DatagramEndpoint* NMUDP2 = nullptr;  // 6732 correction-monitor feed
    // The palette's traffic comes with its own subsystem.
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP3DataReceived(const QByteArray& text, const QString& from, quint16 port);
};
