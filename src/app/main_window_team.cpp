// The team on the LAN: own address, member slots, search, pairing and leave notices.
#include "app/main_window.h"

#include "net/datagram_endpoint.h"

void Ttalk2e::CheckMemberAndRemoteAddresses() {}
void Ttalk2e::SearchMembers() {}
void Ttalk2e::StartupPartnerRequest() {}
void Ttalk2e::StartupFinished() {}
void Ttalk2e::EndPartnershipForChannel() {}
void Ttalk2e::LeaveMembersForChannel() {}

void Ttalk2e::NMUDP4DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP6DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP8DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::NMUDP10DataReceived(const QByteArray&, const QString&, quint16) {}
void Ttalk2e::LeaveOnExit() {}
