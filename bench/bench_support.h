#pragma once
// A whole station in the benchmark process, on an in-memory LAN (no real sockets).
#include "support/test_station.h"

#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace Bench {

inline long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// main() of a benchmark that needs the widgets (offscreen).
inline int runBenchmarks(int argc, char** argv) {
    QApplication app(argc, argv);
    App::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace Bench
