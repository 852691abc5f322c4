// The program's own entry with a probe once its windows exist.
//   time          prints the microseconds since BENCH_T0 (set by the runner just before it
//                 started this process) and ends
//   memory        waits past the second phase of start-up, prints the resident set in kB
//   burst NS N    has a peer in namespace NS send N lines at once to port 6711; prints how many
//                 reached the record, whether in order, and the milliseconds it took
//   send ADDR N   (the peer) sends N lines "burst 000" … to ADDR:6711 as fast as it can
#include "windows/main/main_window.h"
#include "app/startup.h"
#include "core/record.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

int sendBurst(const char* address, int n) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(6711);
    inet_pton(AF_INET, address, &to.sin_addr);
    for (int i = 0; i < n; ++i) {
        char line[32];
        const int len = std::snprintf(line, sizeof line, "burst %03d", i);
        sendto(fd, line, size_t(len), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    close(fd);
    return 0;
}

// Lines "burst …" at the end of the record, in record order.
QStringList burstLines(Ttalk2e& main) {
    QStringList out;
    for (QTextBlock b = main.record().document()->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(QLatin1String("burst "))) out << b.text();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const QByteArray mode = argc > 1 ? argv[1] : "time";
    if (mode == "send" && argc > 3) return sendBurst(argv[2], std::atoi(argv[3]));
    const char* t0 = std::getenv("BENCH_T0");
    const long long start = t0 ? std::atoll(t0) : nowNs();
    return App::runQuelta(1, argv, [&](Ttalk2e& main) {
        if (mode == "time") {
            std::printf("%lld\n", (nowNs() - start) / 1000);
            std::fflush(stdout);
            std::_Exit(0);
        }
        if (mode == "memory") {
            QTimer::singleShot(5600, &main, [&main] {
                std::printf("%ld %d %d\n", residentKb(), main.isStarted() ? 1 : 0, int(main.windows().all().size()) + 1);
                std::fflush(stdout);
                std::_Exit(0);
            });
            return;
        }
        if (mode == "burst" && argc > 3) {
            const QString peerNs = QString::fromLocal8Bit(argv[2]);
            const int n = std::atoi(argv[3]);
            QTimer::singleShot(500, &main, [&main, peerNs, n, argv] {
                auto* clock = new QElapsedTimer;
                clock->start();
                QProcess::startDetached(QStringLiteral("ip"), QStringList{"netns", "exec", peerNs, QString::fromLocal8Bit(argv[0]), "send",
                                               main.ownAddress(), QString::number(n)});
                auto* poll = new QTimer(&main);
                QObject::connect(poll, &QTimer::timeout, &main, [&main, clock, n] {
                    const QStringList got = burstLines(main);
                    if (got.size() < n && clock->elapsed() < 15000) return;
                    bool ordered = true;
                    for (int i = 0; i < got.size(); ++i)
                        ordered = ordered && got[i] == QStringLiteral("burst %1").arg(i, 3, 10, QLatin1Char('0'));
                    std::printf("%d %d %lld\n", int(got.size()), ordered ? 1 : 0, (long long)clock->elapsed());
                    std::fflush(stdout);
                    std::_Exit(0);
                });
                poll->start(20);
            });
        }
    });
}
