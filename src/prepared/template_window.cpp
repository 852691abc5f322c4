#include "prepared/template_window.h"

#include "app/form_builder.h"
#include "net/datagram_endpoint.h"

TForm11::TForm11(const App::WindowContext& context)
    : AuxWindow(context, "TForm11", QStringLiteral("テンプレート・前ロール(ctrl+n)"),
                QStringLiteral(" : テンプレート・前ロール(ctrl+n)")) {
    resize(480, 360);
    new QVBoxLayout(this);
    CheckBox17 = Form::check(this, "CheckBox17", QStringLiteral("「`@」行まで表示"), false);
    using E = Net::DatagramEndpoint;
    NMUDP1 = makeEndpoint(Net::Ports::Template1);
    NMUDP2 = makeEndpoint(Net::Ports::Template2);
    NMUDP5 = makeEndpoint(Net::Ports::TemplateLink);
    NMUDP5->gate = [this] { return isVisible(); };
    connect(NMUDP1, &E::received, this, &TForm11::NMUDP1DataReceived);
    connect(NMUDP2, &E::received, this, &TForm11::NMUDP2DataReceived);
    connect(NMUDP5, &E::received, this, &TForm11::NMUDP5DataReceived);
}

bool TForm11::rollsToSlideEnd() const { return CheckBox17->isChecked(); }

void TForm11::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
void TForm11::NMUDP2DataReceived(const QByteArray&, const QString&, quint16) {}
void TForm11::NMUDP5DataReceived(const QByteArray&, const QString&, quint16) {}
