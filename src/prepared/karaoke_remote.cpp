#include "prepared/karaoke_remote.h"

#include "app/form_builder.h"
#include "net/datagram_endpoint.h"

#include <QVBoxLayout>

TFmojikara::TFmojikara(const App::WindowContext& context)
    : AuxWindow(context, "TFmojikara", QStringLiteral("カラオケ・送信リモコン(ctrl+k)"),
                QStringLiteral(" :カラオケ・送信リモコン(ctrl+k)")) {
    resize(530, 218);
    new QVBoxLayout(this);
    QGroupBox* to = Form::group(this, QStringLiteral("色変わりを"));
    CheckBox59 = Form::check(to, "CheckBox59", QStringLiteral("文字ｶﾗに送信"), false);
    CheckBox1 = Form::check(to, "CheckBox1", QStringLiteral("ｶﾗｵｹに送信"), false);
    NMUDP1 = makeEndpoint(Net::Ports::RemoteCharKaraoke);  // design default 6716
}

QList<Net::DatagramEndpoint*> TFmojikara::channelEndpoints() {
    if (CheckBox59->isChecked() || CheckBox1->isChecked()) return {NMUDP1};
    return {};
}
