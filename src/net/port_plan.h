#pragma once
// The fixed plan of ports: one endpoint per kind of traffic, moved by 100 per channel.
#include <QtGlobal>
#include <algorithm>
#include <array>

namespace Net {

struct PortEntry {
    const char* window;     // owning window class
    const char* endpoint;   // endpoint member name
    quint16 basePort;       // channel 1
    bool shifted;           // moved by the channel
    int maxBytes;           // a datagram of this many bytes or more is ignored; 0 = send only
    bool scrambled;         // payload scrambled while traffic scrambling is on
    bool loopbackGuard;     // drops datagrams from 127.0.0.1 while the sibling copy is on
};

namespace Ports {
inline constexpr PortEntry MainLines{"Ttalk2e", "NMUDP1", 6711, true, 1024, true, true};
inline constexpr PortEntry MainPartner{"Ttalk2e", "NMUDP2", 6712, true, 1024, true, false};
inline constexpr PortEntry MainCorrections{"Ttalk2e", "NMUDP3", 6713, true, 1024, true, true};
inline constexpr PortEntry MainSearchAnswers{"Ttalk2e", "NMUDP6", 6718, true, 256, false, false};
inline constexpr PortEntry MainPairing{"Ttalk2e", "NMUDP4", 6719, true, 256, false, false};
inline constexpr PortEntry MainMonitorFeed{"Ttalk2e", "NMUDP7", 6721, true, 1024, true, false};
inline constexpr PortEntry MainSearchRequests{"Ttalk2e", "NMUDP8", 6722, true, 256, false, false};
inline constexpr PortEntry MainCommands{"Ttalk2e", "NMUDP9", 6723, true, 256, false, true};
inline constexpr PortEntry MainLeave{"Ttalk2e", "NMUDP10", 6724, true, 256, false, false};
inline constexpr PortEntry PaletteTraffic{"TFkakunin", "NMUDP3", 6717, true, 1024, true, false};
inline constexpr PortEntry PaletteLines{"TFkakunin", "NMUDP1", 6730, true, 1024, true, false};
inline constexpr PortEntry PaletteMonitorFeed{"TFkakunin", "NMUDP2", 6732, true, 1024, true, false};
inline constexpr PortEntry RemoteCharKaraoke{"TFmojikara", "NMUDP1", 6716, true, 0, false, false};
inline constexpr PortEntry RemoteKaraoke{"TFmojikara", "NMUDP1", 6728, true, 0, false, false};
inline constexpr PortEntry Contact{"TForm6", "NMUDP1", 6727, true, 1024, true, true};
inline constexpr PortEntry Notice{"TForm15", "NMUDP1", 6731, true, 1024, true, true};
inline constexpr PortEntry Template1{"TForm11", "NMUDP1", 6734, true, 1024, true, false};
inline constexpr PortEntry Template2{"TForm11", "NMUDP2", 6735, true, 1024, true, false};
inline constexpr PortEntry TemplateLink{"TForm11", "NMUDP5", 6720, false, 256, false, false};
inline constexpr PortEntry SubInput{"TForm14", "NMUDP1", 6736, true, 1024, true, true};

// The whole plan, one entry per endpoint of every window (the remote control once per mode).
inline constexpr std::array<const PortEntry*, 20> kPlan{
    &MainLines,      &MainPartner,        &MainCorrections,   &MainSearchAnswers, &MainPairing,
    &MainMonitorFeed, &MainSearchRequests, &MainCommands,      &MainLeave,
    &PaletteTraffic, &PaletteLines,       &PaletteMonitorFeed,
    &RemoteCharKaraoke, &RemoteKaraoke,
    &Contact,        &Notice,
    &Template1,      &Template2,          &TemplateLink,
    &SubInput};

constexpr bool distinctBasePorts() {
    for (size_t i = 0; i < kPlan.size(); ++i)
        for (size_t j = i + 1; j < kPlan.size(); ++j)
            if (kPlan[i]->basePort == kPlan[j]->basePort) return false;
    return true;
}
static_assert(distinctBasePorts(), "two endpoints of the port plan share a port");

// Every port the program binds on channel 1, in port order: the plan with the remote control in
// its design-default mode.
inline constexpr auto kChannelOnePorts = [] {
    std::array<quint16, kPlan.size() - 1> out{};
    size_t n = 0;
    for (const PortEntry* e : kPlan)
        if (e->basePort != RemoteKaraoke.basePort) out[n++] = e->basePort;  // ports are distinct (above)
    std::sort(out.begin(), out.end());
    return out;
}();

}  // namespace Ports

// Loopback destinations of the sibling display program: base port + 1200, never shifted.
namespace SiblingPorts {
constexpr quint16 of(const PortEntry& entry) { return quint16(entry.basePort + 1200); }
inline constexpr quint16 Lines = of(Ports::MainLines);
inline constexpr quint16 Corrections = of(Ports::MainCorrections);
inline constexpr quint16 CharKaraoke = of(Ports::RemoteCharKaraoke);
inline constexpr quint16 Commands = of(Ports::MainCommands);
inline constexpr quint16 Karaoke = of(Ports::RemoteKaraoke);
inline constexpr quint16 Notice = of(Ports::Notice);
inline constexpr quint16 SubInput = of(Ports::SubInput);
}  // namespace SiblingPorts

inline constexpr int kChannelCount = 12;

// A negative combo index counts as channel index 0.
constexpr int channelIndexOf(int comboIndex) { return comboIndex < 0 ? 0 : comboIndex; }
constexpr quint16 portFor(const PortEntry& entry, quint16 basePort, int channelIndex) {
    return entry.shifted ? quint16(basePort + 100 * channelIndexOf(channelIndex)) : basePort;
}

}  // namespace Net
