// The program's own entry with a probe at the end of the creation step. "time": prints the
// microseconds since BENCH_T0 (set by the runner just before it starts this process) and ends.
// "memory": waits past the second phase of start-up and prints the resident set in kilobytes.
#include "app/main_window.h"
#include "app/startup.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool memory = argc > 1 && std::strcmp(argv[1], "memory") == 0;
    const char* t0 = std::getenv("BENCH_T0");
    const long long start = t0 ? std::atoll(t0) : nowNs();
    return App::runQuelta(1, argv, [&](Ttalk2e& main) {
        if (!memory) {
            std::printf("%lld\n", (nowNs() - start) / 1000);
            std::fflush(stdout);
            std::_Exit(0);
        }
        QTimer::singleShot(5600, &main, [&main] {
            std::printf("%ld %d %d\n", residentKb(), main.started ? 1 : 0, int(main.allWindows().size()) + 1);
            std::fflush(stdout);
            std::_Exit(0);
        });
    });
}
