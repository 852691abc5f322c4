// The caption path: sending lines, receiving lines, commands and corrections.
#include "app/main_window.h"

#include "net/datagram_endpoint.h"

void Ttalk2e::NMUDP1DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP3DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP9DataReceived(const QByteArray&, const QString&, quint16) {}

void Ttalk2e::FlushCorrectionBuffer() {}
