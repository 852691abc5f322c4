#include "messaging/contact_window.h"

#include "net/datagram_endpoint.h"

#include <QTextEdit>
#include <QVBoxLayout>

TForm6::TForm6(const App::WindowContext& context)
    : AuxWindow(context, "TForm6", QStringLiteral("連絡(ctrl+r)"), QStringLiteral(" : 連絡(ctrl+r)")) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(360, 240);
    auto* layout = new QVBoxLayout(this);
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAcceptRichText(false);
    layout->addStretch(1);
    layout->addWidget(RichEdit1);
    NMUDP1 = makeEndpoint(Net::Ports::Contact);
    connect(NMUDP1, &Net::DatagramEndpoint::received, this, &TForm6::NMUDP1DataReceived);
}

void TForm6::focusInputPane() { RichEdit1->setFocus(); }

void TForm6::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
