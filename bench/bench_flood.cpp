// A station on real UDP while a stranger floods one of its ports with 100 000 datagrams a second.
// The station (the real windows on UdpNetwork) lives in a network namespace of the benchmark's own
// at 10.77.0.1; the flood (from 10.77.0.3) and a member (10.77.0.2) live in a second namespace
// joined to it by a veth pair. Root only; it says so and ends otherwise.
//   bench_flood PORT   floods PORT; meanwhile the member sends a caption line on 6711 and a search
//                      request on 6722 every 50 ms. Prints, in ms, the median and slowest time from
//                      the member's send to the line being in the display record, the median and
//                      slowest time from a search request to its answer, then the flood datagrams
//                      sent and those the station refused (counted by its receive queue).
#include "unit/private_network.h"
#include "support/test_station.h"

#include "app/desktop_station.h"
#include "core/record.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFloodPerSecond = 100000;
constexpr int kSamples = 100;

bool run(const QStringList& args) {
    QProcess p;
    p.start(args.first(), args.mid(1));
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The peers' namespace, joined to ours; gone with this object.
struct PeerNamespace {
    QString name = QStringLiteral("qflood%1").arg(::getpid());
    bool ok = false;
    PeerNamespace() {
        ok = run({"ip", "netns", "add", name}) && run({"ip", "-n", name, "link", "set", "lo", "up"}) &&
             run({"ip", "link", "add", "eth0", "type", "veth", "peer", "name", "eth0", "netns", name}) &&
             run({"ip", "addr", "add", "10.77.0.1/8", "brd", "10.255.255.255", "dev", "eth0"}) &&
             run({"ip", "link", "set", "eth0", "up"}) &&
             run({"ip", "-n", name, "addr", "add", "10.77.0.2/8", "brd", "10.255.255.255", "dev", "eth0"}) &&
             run({"ip", "-n", name, "addr", "add", "10.77.0.3/8", "dev", "eth0"}) &&
             run({"ip", "-n", name, "link", "set", "eth0", "up"});
    }
    ~PeerNamespace() { run({"ip", "netns", "del", name}); }
    // Moves the calling thread into the namespace.
    bool enter() const {
        const int fd = ::open(("/var/run/netns/" + name).toLocal8Bit().constData(), O_RDONLY);
        if (fd < 0) return false;
        const bool entered = ::setns(fd, CLONE_NEWNET) == 0;
        ::close(fd);
        return entered;
    }
};

int boundSocket(const char* address, quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendTo(int fd, const QByteArray& payload, quint16 port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, "10.77.0.1", &to.sin_addr);
    ::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double slowest(const std::vector<double>& v) { return v.empty() ? -1 : *std::max_element(v.begin(), v.end()); }

// What a flood on each port looks like: something its handler takes in and works on.
QByteArray floodPayload(quint16 port) {
    switch (port) {
    case 6721: return "10.77.0.3,洪水のような入力中の文字列です";  // the 8-person monitor feed
    case 6727: return "洪水のような連絡文";
    default: return "洪水のような入力中の文字列です";  // the partner channel's live typing
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!Testing::enterPrivateNetwork()) {
        std::fprintf(stderr, "bench_flood: needs root for private network namespaces\n");
        return 0;
    }
    const quint16 floodPort = quint16(argc > 1 ? std::atoi(argv[1]) : 6712);
    QApplication app(argc, argv);
    PeerNamespace peers;
    if (!peers.ok) {
        std::fprintf(stderr, "bench_flood: could not set up the namespaces\n");
        return 1;
    }

    // The station: the real windows on the real network.
    QTemporaryDir folder;
    App::SystemClock clock;
    Net::UdpNetwork network;
    Testing::RecordingMessages messages(&network);
    Testing::ScriptedDialogs dialogs;
    Testing::MemoryClipboard clipboard;
    Testing::FakeHostTools hostTools;
    App::Station station{network, clock, messages, dialogs, clipboard, hostTools, folder.path() + QLatin1Char('/')};
    std::unique_ptr<Ttalk2e> main = App::createStationWindows(station, nullptr);
    main->Timer2Timer();  // the second phase of start-up now
    main->show();

    // When each member line is in the display record.
    std::vector<Clock::time_point> sent(kSamples), shown(kSamples);
    std::vector<std::atomic<bool>> sentYet(kSamples);
    QObject::connect(&main->record(), &Core::Record::changed, [&] {
        const QString last = main->record().lastLine();
        if (!last.startsWith(QLatin1String("member line "))) return;
        const int i = last.mid(12).toInt();
        if (i >= 0 && i < kSamples && shown[i] == Clock::time_point{}) shown[i] = Clock::now();
    });

    std::atomic<bool> stop{false};
    std::atomic<long long> floodSent{0};
    std::thread flood([&] {
        if (!peers.enter()) return;
        const int fd = boundSocket("10.77.0.3", 0);
        const QByteArray payload = floodPayload(floodPort);
        auto next = Clock::now();
        while (!stop) {  // 100 datagrams a millisecond
            for (int i = 0; i < kFloodPerSecond / 1000; ++i) sendTo(fd, payload, floodPort);
            floodSent += kFloodPerSecond / 1000;
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
            if (Clock::now() - next > std::chrono::milliseconds(50)) next = Clock::now();  // never bursts to catch up
        }
        ::close(fd);
    });

    std::vector<double> searchMs;
    std::atomic<bool> memberDone{false};
    std::thread member([&] {
        if (!peers.enter()) return;
        const int tx = boundSocket("10.77.0.2", 0), answers = boundSocket("10.77.0.2", 6718);
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the flood is on
        for (int i = 0; i < kSamples; ++i) {
            const auto start = Clock::now();
            sent[i] = start;
            sentYet[i] = true;
            sendTo(tx, "member line " + QByteArray::number(i), 6711);
            const auto asked = Clock::now();
            sendTo(tx, "10.77.0.2,member,Req,1", 6722);
            pollfd p{answers, POLLIN, 0};
            char buffer[512];
            while (::poll(&p, 1, 500) > 0) {
                const ssize_t n = ::recv(answers, buffer, sizeof buffer, 0);
                if (n > 0 && QByteArray(buffer, int(n)).endsWith(",Ans")) {
                    searchMs.push_back(ms(Clock::now() - asked));
                    break;
                }
            }
            std::this_thread::sleep_until(start + std::chrono::milliseconds(50));
        }
        ::close(tx);
        ::close(answers);
        memberDone = true;
    });

    QElapsedTimer guard;
    guard.start();
    while (!memberDone && guard.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QElapsedTimer settle;  // the last lines may still be on their way
    settle.start();
    while (settle.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    stop = true;
    flood.join();
    member.join();

    std::vector<double> lineMs;
    int lost = 0;
    for (int i = 0; i < kSamples; ++i) {
        if (!sentYet[i]) continue;
        if (shown[i] == Clock::time_point{}) ++lost;
        else lineMs.push_back(ms(shown[i] - sent[i]));
    }
    qint64 refused = 0;
    for (qint64 n : network.receiveQueue().takeDropped()) refused += n;
    std::printf("%.2f %.2f %.2f %.2f %lld %lld %d %d\n", median(lineMs), slowest(lineMs), median(searchMs),
                slowest(searchMs), (long long)floodSent, (long long)refused, int(lineMs.size()), lost);
    std::fflush(stdout);
    main.reset();
    return 0;
}
