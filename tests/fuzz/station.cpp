// Every receive handler of the port plan, driven through whole stations on the in-memory LAN.
// Station A (paired with B) gets the datagrams. An input is a run of datagrams, each:
//   selector byte: bits 0–4 the port (taken modulo the receiving ports), bit 5 traffic
//     scrambling on, bit 6 the payload scrambled with the team's password before it is sent,
//     bit 7 from a stranger instead of the partner (with bit 6 as well: from 127.0.0.1);
//   length: two bytes, little-endian, then that many payload bytes (fewer at the end).
#include "fuzz_support.h"
#include "station_rig.h"

#include "net/port_plan.h"
#include "net/scramble.h"

#include <QLineEdit>
#include <array>

namespace {

namespace P = Net::Ports;

// The ports a station receives on (the remote control only sends).
constexpr std::array<const Net::PortEntry*, 18> kPorts{
    &P::MainLines,     &P::MainPartner,       &P::MainCorrections, &P::PaletteTraffic, &P::MainSearchAnswers,
    &P::MainPairing,   &P::TemplateLink,      &P::MainMonitorFeed, &P::MainSearchRequests, &P::MainCommands,
    &P::MainLeave,     &P::Contact,           &P::PaletteLines,    &P::Notice,          &P::PaletteMonitorFeed,
    &P::Template1,     &P::Template2,         &P::SubInput};

constexpr int kMaxDatagrams = 16;
constexpr int kInputsPerRig = 250;

struct Rig {
    Testing::PairedLan pair;
    Rig() {
        for (auto* s : {&pair.a, &pair.b}) Fuzz::openEveryReceiver(*s);
        pair.lan.net.deliverAll();
        pair.lan.net.clearSent();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto* const rigs = new Fuzz::Rebuilt<Rig>(kInputsPerRig);
    Rig& rig = rigs->next();
    Testing::TestStation& a = rig.pair.a;
    Net::MemoryNetwork& net = rig.pair.lan.net;
    Fuzz::openEveryReceiver(a);

    Fuzz::Input in(data, size);
    for (int n = 0; n < kMaxDatagrams && !in.empty(); ++n) {
        const uint8_t selector = in.byte();
        QByteArray payload = in.bytes(in.word());
        const Net::PortEntry& entry = *kPorts[(selector & 0x1F) % kPorts.size()];
        const bool scrambling = selector & 0x20;
        const bool stranger = selector & 0x80;
        const bool wrap = selector & 0x40;
        Fuzz::setScrambling(rig.pair.lan, scrambling);
        if (scrambling && wrap && !stranger && entry.scrambled) {
            const QByteArray password = Cp932::encode(Testing::control<QLineEdit>(*a.main, "Edit1")->text());
            if (const auto s = Net::Scramble(payload, password, a.main->trafficKey())) payload = *s;
        }
        const QString from = !stranger ? rig.pair.b.address()
                             : wrap    ? QStringLiteral("127.0.0.1")
                                       : QStringLiteral("192.168.1.77");
        const quint16 port = Net::portFor(entry, entry.basePort, a.main->channelIndex());
        net.inject(from, port, a.address(), port, payload);
        net.deliverAll();
    }
    net.clearSent();
    for (auto& s : rig.pair.lan.stations) {
        s->messages.shown.clear();
        s->messages.asked.clear();
    }
    return 0;
}
