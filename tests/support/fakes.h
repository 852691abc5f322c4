#pragma once
// Fakes of what the widget-free controllers ask their host for: an outbox that records every
// datagram instead of sending it, a settable clock, and the hosts of the team and the caption path.
#include "core/clock.h"
#include "net/outbox.h"
#include "net/team.h"

#include <QList>
#include <QStringList>

namespace Testing {

class RecordingOutbox final : public Net::Outbox {
public:
    struct Sent {
        const Net::PortEntry* port;
        QString host;
        quint16 remotePort;  // 0: the channel port
        QByteArray payload;
    };
    QList<Sent> sent;
    QList<Sent> to(const Net::PortEntry& port) const {
        QList<Sent> out;
        for (const Sent& s : sent)
            if (s.port == &port) out << s;
        return out;
    }
    QList<QByteArray> payloads(const Net::PortEntry& port) const {
        QList<QByteArray> out;
        for (const Sent& s : to(port)) out << s.payload;
        return out;
    }

protected:
    void transmit(const Net::PortEntry& port, const QString& host, quint16 remotePort, const QByteArray& wire) override {
        sent.append({&port, host, remotePort, wire});
    }
};

class FixedClock final : public Core::Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time{QDate(2026, 12, 8), QTime(10, 15, 30, 7)};
};

// The partner page of a station without its window.
class FakeTeamHost final : public Net::TeamHost {
public:
    Net::TeamOptions options;
    Net::SlotViews members{};
    QStringList messages, logLines;
    QString caption = QStringLiteral("base");
    std::array<bool, Net::kMemberSlots> partnerButton{};
    FixedClock clock;
    QStringList interfaces;        // this computer's addresses
    mutable int interfaceReads = 0;

    Net::TeamOptions teamOptions() const override { return options; }
    Net::SlotViews memberSlots() const override { return members; }
    QStringList mateAddresses() const override {
        QStringList out;
        for (const Net::SlotView& s : members)
            if (s.mate) out << s.address;
        return out;
    }
    void setSlot(int k, const Net::SlotView& v) override { members[k - 1] = v; }
    void setOwnAddress(const QString& a) override { options.ownAddress = a; }
    QStringList interfaceAddresses() const override {
        ++interfaceReads;
        return interfaces;
    }
    void setMembersFixed(bool on) override { options.membersFixed = on; }
    void setPartnerFixed(bool on) override { options.partnerFixed = on; }
    void showPairingButtons(int k, bool partner) override { partnerButton[k - 1] = partner; }
    void captionsToBase() override { caption = QStringLiteral("base"); }
    void captionsWithPartner(const QString& name) override { caption = QStringLiteral("base  <") + name + u'>'; }
    void message(const QString& t) override { messages << t; }
    void log(const QString& l) override { logLines << l; }
    QDateTime now() const override { return clock.now(); }
};

}  // namespace Testing
