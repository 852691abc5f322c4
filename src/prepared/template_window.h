#pragma once
// TForm11: the template and pre-roll window, prepared texts sent line by line.
#include "app/aux_window.h"

class QCheckBox;

class TForm11 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm11(const App::WindowContext& context);
    QList<Net::DatagramEndpoint*> channelEndpoints() override { return {NMUDP1, NMUDP2}; }

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6734
    Net::DatagramEndpoint* NMUDP2 = nullptr;  // 6735
    Net::DatagramEndpoint* NMUDP5 = nullptr;  // 6720 in every channel, read only while shown
    QCheckBox* CheckBox17 = nullptr;          // "「`@」行まで表示"
    // The logs of received corrections name them as roll slides while this is on.
    bool rollsToSlideEnd() const;
    // The pre-roll traffic comes with the template window's own subsystem.
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP2DataReceived(const QByteArray& text, const QString& from, quint16 port);
    void NMUDP5DataReceived(const QByteArray& text, const QString& from, quint16 port);
};
