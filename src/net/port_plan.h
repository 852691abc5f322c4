#pragma once
// The fixed plan of ports: one endpoint per kind of traffic, moved by 100 per channel.
#include <QtGlobal>
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

// Every port the program binds on channel 1 (the remote control in its design-default mode).
inline constexpr std::array<quint16, 19> kChannelOnePorts{6711, 6712, 6713, 6716, 6717, 6718, 6719,
                                                          6720, 6721, 6722, 6723, 6724, 6727, 6730,
                                                          6731, 6732, 6734, 6735, 6736};
}  // namespace Ports

// Loopback destinations of the sibling display program: base port + 1200, never shifted.
namespace SiblingPorts {
inline constexpr quint16 Lines = 7911;
inline constexpr quint16 Corrections = 7913;
inline constexpr quint16 CharKaraoke = 7916;
inline constexpr quint16 Commands = 7923;
inline constexpr quint16 Karaoke = 7928;
inline constexpr quint16 Notice = 7931;
inline constexpr quint16 SubInput = 7936;
}  // namespace SiblingPorts

inline constexpr int kChannelCount = 12;

// A negative combo index counts as channel index 0.
constexpr int channelIndexOf(int comboIndex) { return comboIndex < 0 ? 0 : comboIndex; }
constexpr quint16 portFor(const PortEntry& entry, quint16 basePort, int channelIndex) {
    return entry.shifted ? quint16(basePort + 100 * channelIndexOf(channelIndex)) : basePort;
}

}  // namespace Net
