#pragma once
// A whole station in the benchmark process, on an in-memory LAN (no real sockets).
#include "support/test_station.h"

#include <QFile>

namespace Bench {

inline long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace Bench
