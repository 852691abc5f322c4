#pragma once
// The port plan as test data, written out row by row: every endpoint of every window with its base
// port, whether the channel moves it, its receive limit, whether its payload is scrambled and
// whether it drops datagrams from 127.0.0.1 while the sibling copy is on. Stations and the program
// are held against this table, never against the program's own list of ports.
#include <QList>
#include <QtGlobal>
#include <algorithm>

namespace PortTable {

struct Row {
    const char* window;
    const char* endpoint;
    quint16 port;
    bool shifted;
    int maxBytes;  // 0: send only
    bool scrambled;
    bool loopbackGuard;
};

inline constexpr Row kRows[] = {
    {"Ttalk2e", "NMUDP1", 6711, true, 1024, true, true},
    {"Ttalk2e", "NMUDP2", 6712, true, 1024, true, false},
    {"Ttalk2e", "NMUDP3", 6713, true, 1024, true, true},
    {"Ttalk2e", "NMUDP6", 6718, true, 256, false, false},
    {"Ttalk2e", "NMUDP4", 6719, true, 256, false, false},
    {"Ttalk2e", "NMUDP7", 6721, true, 1024, true, false},
    {"Ttalk2e", "NMUDP8", 6722, true, 256, false, false},
    {"Ttalk2e", "NMUDP9", 6723, true, 256, false, true},
    {"Ttalk2e", "NMUDP10", 6724, true, 256, false, false},
    {"TFkakunin", "NMUDP3", 6717, true, 1024, true, false},
    {"TFkakunin", "NMUDP1", 6730, true, 1024, true, false},
    {"TFkakunin", "NMUDP2", 6732, true, 1024, true, false},
    {"TFmojikara", "NMUDP1", 6716, true, 0, false, false},
    {"TFmojikara", "NMUDP1", 6728, true, 0, false, false},
    {"TForm6", "NMUDP1", 6727, true, 1024, true, true},
    {"TForm15", "NMUDP1", 6731, true, 1024, true, true},
    {"TForm11", "NMUDP1", 6734, true, 1024, true, false},
    {"TForm11", "NMUDP2", 6735, true, 1024, true, false},
    {"TForm11", "NMUDP5", 6720, false, 256, false, false},
    {"TForm14", "NMUDP1", 6736, true, 1024, true, true},
};

// The remote control binds 6716 in its default mode, 6728 only in its second one.
inline constexpr quint16 kRemoteSecondMode = 6728;

// The ports a station binds on channel index c, in ascending order.
inline QList<quint16> boundPorts(int c) {
    QList<quint16> out;
    for (const Row& r : kRows)
        if (r.port != kRemoteSecondMode) out << (r.shifted ? quint16(r.port + 100 * c) : r.port);
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace PortTable
