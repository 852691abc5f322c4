#pragma once
// TForm15: the notice window, a one-line ticker composed here and shown on the partners' PCs.
#include "app/aux_window.h"

class TForm15 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm15(const App::WindowContext& context);
    QList<Net::DatagramEndpoint*> channelEndpoints() override { return {NMUDP1}; }

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6731 notices
    // The ticker comes with the notice window's own subsystem.
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
};
