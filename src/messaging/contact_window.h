#pragma once
// TForm6: the contact window, a short-message chat between the typists of a team.
#include "app/aux_window.h"

class QTextEdit;

class TForm6 : public AuxWindow {
    Q_OBJECT
public:
    explicit TForm6(const App::WindowContext& context);
    QList<Net::DatagramEndpoint*> channelEndpoints() override { return {NMUDP1}; }

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6727 chat
    QTextEdit* RichEdit1 = nullptr;           // the line being written
    void focusInputPane();
    // The chat itself comes with the contact window's own subsystem.
    void NMUDP1DataReceived(const QByteArray& text, const QString& from, quint16 port);
};
