#include "app/aux_window.h"

#include "app/hot_keys.h"
#include "app/main_window.h"
#include "net/datagram_endpoint.h"

AuxWindow::AuxWindow(Ttalk2e& main, const char* className, const QString& baseCaption, const QString& channelSuffix)
    : QWidget(nullptr, Qt::Window), main_(main), baseCaption_(baseCaption), channelSuffix_(channelSuffix) {
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(baseCaption);
    hotKeys_ = new HotKeyMenu(*this, main);
}

AuxWindow::~AuxWindow() = default;

void AuxWindow::applyChannelCaption(int n) {
    if (!channelSuffix_.isEmpty()) setWindowTitle(QString::number(n) + channelSuffix_);
}

Net::DatagramEndpoint* AuxWindow::makeEndpoint(const Net::PortEntry& entry) {
    auto* e = new Net::DatagramEndpoint(main_.station().network, entry, this);
    e->bindChannel(main_.channelIndex());
    main_.wireEndpoint(*e);
    return e;
}
