// A station on real UDP under floods from a stranger. The station (the real windows on UdpNetwork)
// lives in a network namespace of the benchmark's own at 10.77.0.1; the stranger (10.77.0.3) and a
// member (10.77.0.2) live in a second namespace joined to it by a veth pair. Root only; it says so
// and ends otherwise.
//
//   bench_flood PORT     the same datagram 100 000 times a second on PORT; meanwhile the member
//                        sends a caption line on 6711 and a search request on 6722 every 50 ms.
//                        Prints, in ms, the median and slowest time from the member's send to the
//                        line being in the display record, the median and slowest time from a
//                        search request to its answer, then the flood datagrams sent and those the
//                        station refused (counted by its receive queue), the lines shown and lost.
//   bench_flood storm PORT|all [SECONDS]
//                        random and mutated datagrams 70 000 times a second on PORT, or spread
//                        over every port the station receives on; meanwhile the member sends a
//                        line every 20 ms and a search every 50 ms. Prints: lines sent, lines
//                        shown, 1 when they were shown in the order sent; line to display median
//                        and slowest ms; search answered median and slowest ms (a search with no
//                        answer within a second counts as 1000); the answer to a search sent just
//                        as the storm ends, in ms; the growth of resident memory in MB; datagrams
//                        sent and refused by the queue.
//                        With BENCH_DEBUG set, it also tells on standard error every search's time,
//                        event-loop passes over 100 ms, the own address and member slots at the end,
//                        and the kernel's UDP counters (datagrams dropped before they were read).
//   bench_flood drain PORT [COUNT]
//                        COUNT (20 000) random and mutated datagrams on PORT, in bursts of 400 and
//                        never more than 500 waiting, so that every one is handled. Prints the
//                        processor seconds they cost the station's threads (what the station costs
//                        idle for as long left out), the wall seconds from the first send until
//                        every datagram is handled, the datagrams read and those refused, and the
//                        processor seconds of the station's threads in all over that time.
#include "unit/private_network.h"
#include "support/test_station.h"

#include "app/desktop_station.h"
#include "core/record.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sched.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

sockaddr_in station(quint16 port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, "10.77.0.1", &to.sin_addr);
    return to;
}

void sendTo(int fd, const QByteArray& payload, quint16 port) {
    const sockaddr_in to = station(port);
    ::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double slowest(const std::vector<double>& v) { return v.empty() ? -1 : *std::max_element(v.begin(), v.end()); }

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double residentMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// Every port the station receives on (the remote control only sends).
const std::vector<quint16> kReceivingPorts{6711, 6712, 6713, 6717, 6718, 6719, 6720, 6721, 6722,
                                           6723, 6724, 6727, 6730, 6731, 6732, 6734, 6735, 6736};

// What a stranger sprays at a port: random bytes, mutations of what the port carries, and
// well-formed messages with made-up contents (lines, corrections and batch ends, commands, search
// requests and answers for addresses nobody has, transfers with hostile values).
class Junk {
public:
    explicit Junk(quint32 salt) : random_(salt) {}

    QByteArray next(quint16 port) {
        const int kind = pick(10);
        const int limit = (port == 6718 || port == 6719 || port == 6720 || port == 6722 || port == 6723 || port == 6724)
                              ? 255 : 1023;
        if (kind < 4) return randomBytes(1 + pick(std::min(limit, 300)));
        QByteArray valid = wellFormed(port);
        if (kind < 8) valid = mutate(valid);
        return valid.left(limit);
    }

private:
    int pick(int n) { return int(random_() % quint32(n)); }
    QByteArray randomBytes(int n) {
        QByteArray b(n, Qt::Uninitialized);
        for (char& c : b) c = char(random_());
        return b;
    }
    QByteArray text(int n) {
        static const char* words[] = {"洪水", "のような", "入力中の", "文字列", "です", "abc", "ｶﾀｶﾅ", "、", "。"};
        QByteArray t;
        while (t.size() < n) t += Cp932::encode(QString::fromUtf8(words[pick(9)]));
        return t;
    }
    QByteArray fakeAddress() { return "10.77." + QByteArray::number(1 + pick(250)) + '.' + QByteArray::number(10 + pick(240)); }
    QByteArray mutate(QByteArray b) {
        if (b.isEmpty()) return randomBytes(8);
        switch (pick(4)) {
        case 0: for (int i = 0, n = 1 + pick(3); i < n; ++i) b[pick(int(b.size()))] = char(random_()); break;
        case 1: b.truncate(pick(int(b.size()))); break;
        case 2: b += randomBytes(1 + pick(40)); break;
        default: b.insert(pick(int(b.size())), b.left(pick(int(b.size())))); break;
        }
        return b;
    }
    QByteArray wellFormed(quint16 port) {
        switch (port) {
        case 6712: {
            static const char* lines[] = {"$set$999:＜番号付き表示設定ファイル２＞", "$set$801:7:チャンネル",
                                          "$set$000:2147483647:ウィンドウの高さ", "$set$001:20000:メインウィンドの幅",
                                          "$set$603:こんにちは:", "$end$", "$null$", "$clear$"};
            return pick(2) ? text(10 + pick(60)) : Cp932::encode(QString::fromUtf8(lines[pick(8)]));
        }
        case 6713: {
            static const char* items[] = {"＜エラー＞行数違い！", "`@", "`*", "$null$"};
            // Mostly items of a batch that seldom ends.
            return pick(40) ? text(10 + pick(80)) : Cp932::encode(QString::fromUtf8(items[pick(4)]));
        }
        case 6718: return fakeAddress() + ',' + fakeAddress() + ",stranger," + (pick(5) ? "Ans" : "Ful");
        case 6719: return "10.77.0.3," + fakeAddress() + ",stranger," + (pick(2) ? "Req-Partner,Req" : "Can-Partner,Ans");
        case 6722: return fakeAddress() + ",stranger,Req," + QByteArray::number(1 + pick(3));
        case 6723: { static const char* c[] = {"undo", "del", "cls", "und"}; return c[pick(4)]; }
        case 6724: return fakeAddress() + ",stranger," + Cp932::encode(QStringLiteral("離脱"));
        case 6721: return "10.77.0.3," + text(10 + pick(60));
        default: return text(5 + pick(100));
        }
    }
    std::mt19937 random_;
};

// The real network, counting what the sockets read (the station's own network is this one).
class CountingNetwork final : public Net::Network {
public:
    std::unique_ptr<Net::DatagramSocket> openSocket() override {
        std::unique_ptr<Net::DatagramSocket> s = udp_.openSocket();
        QObject::connect(s.get(), &Net::DatagramSocket::received, [this] { ++read; });
        return s;
    }
    Net::HostIdentity hostIdentity() const override { return udp_.hostIdentity(); }
    std::atomic<long long> read{0};

private:
    Net::UdpNetwork udp_;
};

// The station with every window, on the real network.
struct StationUnderTest {
    QTemporaryDir folder;
    App::SystemClock clock;
    CountingNetwork network;
    Testing::RecordingMessages messages{&network};
    Testing::ScriptedDialogs dialogs;
    Testing::MemoryClipboard clipboard;
    Testing::FakeHostTools hostTools;
    App::Station station{network, clock, messages, dialogs, clipboard, hostTools, folder.path() + QLatin1Char('/')};
    std::unique_ptr<Ttalk2e> main = App::createStationWindows(station, nullptr);
    StationUnderTest() {
        main->Timer2Timer();  // the second phase of start-up now
        main->show();
    }
};

void processFor(int msecs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < msecs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Waits for an answer ending in ",Ans" on `answers`; its time in ms, or 1000 when none came.
double searchOnce(int tx, int answers) {
    char buffer[512];
    while (::recv(answers, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {}  // answers that came late
    const auto asked = Clock::now();
    sendTo(tx, "10.77.0.2,member,Req,1", 6722);
    pollfd p{answers, POLLIN, 0};
    for (;;) {
        const int left = 1000 - int(ms(Clock::now() - asked));
        if (left <= 0 || ::poll(&p, 1, left) <= 0) return 1000;
        const ssize_t n = ::recv(answers, buffer, sizeof buffer, 0);
        if (n > 0 && QByteArray(buffer, int(n)).endsWith(",Ans")) return ms(Clock::now() - asked);
    }
}

int oldFlood(int argc, char** argv, const PeerNamespace& peers) {
    constexpr int kFloodPerSecond = 100000;
    constexpr int kSamples = 100;
    const quint16 floodPort = quint16(argc > 1 ? std::atoi(argv[1]) : 6712);
    StationUnderTest s;
    Ttalk2e* main = s.main.get();

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
        const QByteArray payload = floodPort == 6721 ? QByteArray("10.77.0.3,洪水のような入力中の文字列です")
                                   : floodPort == 6727 ? QByteArray("洪水のような連絡文")
                                                       : QByteArray("洪水のような入力中の文字列です");
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
            const double t = searchOnce(tx, answers);
            if (t < 1000) searchMs.push_back(t);
            std::this_thread::sleep_until(start + std::chrono::milliseconds(50));
        }
        ::close(tx);
        ::close(answers);
        memberDone = true;
    });

    QElapsedTimer guard;
    guard.start();
    while (!memberDone && guard.elapsed() < 60000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    processFor(500);  // the last lines may still be on their way
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
    std::printf("%.2f %.2f %.2f %.2f %lld %lld %d %d\n", median(lineMs), slowest(lineMs), median(searchMs),
                slowest(searchMs), (long long)floodSent, (long long)s.network.receiveQueue().droppedTotal(),
                int(lineMs.size()), lost);
    std::fflush(stdout);
    return 0;
}

// Sends what `junk` makes for `ports` at `perSecond`, a millisecond's worth at a time.
long long sprayUntil(const std::atomic<bool>& stop, const std::vector<quint16>& ports, int perSecond, quint32 salt) {
    const int fd = boundSocket("10.77.0.3", 0);
    // Made beforehand: the sender must keep up with the rate it claims.
    Junk junk(salt);
    std::vector<std::pair<quint16, QByteArray>> payloads;
    for (int i = 0; i < 8192; ++i) {
        const quint16 port = ports[size_t(i) % ports.size()];
        payloads.emplace_back(port, junk.next(port));
    }
    std::vector<sockaddr_in> to(payloads.size());
    for (size_t i = 0; i < payloads.size(); ++i) to[i] = station(payloads[i].first);
    const int perMs = perSecond / 1000;
    std::vector<mmsghdr> batch(static_cast<size_t>(perMs));
    std::vector<iovec> iov(static_cast<size_t>(perMs));
    long long sent = 0;
    size_t at = 0;
    auto next = Clock::now();
    while (!stop) {
        for (int i = 0; i < perMs; ++i, at = (at + 1) % payloads.size()) {
            iov[i] = {const_cast<char*>(payloads[at].second.constData()), size_t(payloads[at].second.size())};
            batch[i].msg_hdr = {};
            batch[i].msg_hdr.msg_name = &to[at];
            batch[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
            batch[i].msg_hdr.msg_iov = &iov[i];
            batch[i].msg_hdr.msg_iovlen = 1;
        }
        const int n = ::sendmmsg(fd, batch.data(), unsigned(perMs), 0);
        if (n > 0) sent += n;
        next += std::chrono::milliseconds(1);
        std::this_thread::sleep_until(next);
        if (Clock::now() - next > std::chrono::milliseconds(20)) next = Clock::now();  // never bursts to catch up
    }
    ::close(fd);
    return sent;
}

int storm(const QByteArray& which, int seconds, const PeerNamespace& peers) {
    constexpr int kPerSecond = 70000;
    const std::vector<quint16> ports = which == "all" ? kReceivingPorts : std::vector<quint16>{quint16(which.toInt())};
    const size_t lines = size_t(seconds) * 1000 / 20;
    StationUnderTest s;
    Ttalk2e* main = s.main.get();

    // When each member line first shows at the end of the record, and in which order they did.
    std::vector<Clock::time_point> sent(lines), shown(lines);
    std::vector<std::atomic<bool>> sentYet(lines);
    std::vector<int> order;
    QObject::connect(&main->record(), &Core::Record::changed, [&] {
        const QString last = main->record().lastLine();
        if (!last.startsWith(QLatin1String("member line "))) return;
        bool ok = false;
        const size_t i = last.mid(12).toUInt(&ok);
        if (ok && i < lines && shown[i] == Clock::time_point{}) {
            shown[i] = Clock::now();
            order.push_back(int(i));
        }
    });

    std::atomic<bool> stop{false}, memberListed{false}, memberDone{false}, searchesDone{false};
    std::atomic<long long> floodSent{0};
    std::vector<double> searchMs;
    double afterStorm = -1;

    std::thread flood([&] {
        if (!peers.enter()) return;
        while (!memberListed) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        floodSent = sprayUntil(stop, ports, kPerSecond, 20);
    });
    std::thread member([&] {
        if (!peers.enter()) return;
        const int tx = boundSocket("10.77.0.2", 0);
        while (!memberListed) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the storm is on
        const auto start = Clock::now();
        for (size_t i = 0; i < lines; ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(20 * i));
            sent[i] = Clock::now();
            sentYet[i] = true;
            sendTo(tx, "member line " + QByteArray::number(i), 6711);
        }
        ::close(tx);
        memberDone = true;
    });
    std::thread searcher([&] {
        if (!peers.enter()) return;
        const int tx = boundSocket("10.77.0.2", 0), answers = boundSocket("10.77.0.2", 6718);
        // Listed before the storm, as a team is.
        while (searchOnce(tx, answers) >= 1000) {}
        memberListed = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        while (!memberDone) {
            const auto start = Clock::now();
            searchMs.push_back(searchOnce(tx, answers));
            std::this_thread::sleep_until(start + std::chrono::milliseconds(50));
        }
        // The storm ends now; the next search must be answered at once.
        stop = true;
        afterStorm = searchOnce(tx, answers);
        ::close(tx);
        ::close(answers);
        searchesDone = true;
    });

    processFor(300);
    const double rssBefore = residentMb();
    double rssMost = rssBefore;
    QElapsedTimer guard;
    guard.start();
    double longestPass = 0;
    while (!searchesDone && guard.elapsed() < 60000 + seconds * 1000) {
        const auto t0 = Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double passMs = ms(Clock::now() - t0);
        if (passMs > longestPass) {
            longestPass = passMs;
            if (qEnvironmentVariableIsSet("BENCH_DEBUG") && passMs > 100) std::fprintf(stderr, "pass %.0f ms at %lld ms\n", passMs, (long long)guard.elapsed());
        }
        rssMost = std::max(rssMost, residentMb());
    }
    stop = true;
    processFor(300);  // the last lines may still be on their way
    flood.join();
    member.join();
    searcher.join();

    std::vector<double> lineMs;
    int sentLines = 0;
    for (size_t i = 0; i < lines; ++i) {
        if (!sentYet[i]) continue;
        ++sentLines;
        if (shown[i] != Clock::time_point{}) lineMs.push_back(ms(shown[i] - sent[i]));
    }
    const bool inOrder = std::is_sorted(order.begin(), order.end());
    if (qEnvironmentVariableIsSet("BENCH_DEBUG")) {
        for (double t : searchMs) std::fprintf(stderr, "%.1f ", t);
        std::fprintf(stderr, "\nown %s, record lines %d\n", qPrintable(main->ownAddress()), main->record().recordLineCount());
        QFile snmp(QStringLiteral("/proc/self/net/snmp"));
        if (snmp.open(QIODevice::ReadOnly))
            for (const QByteArray& l : snmp.readAll().split('\n'))
                if (l.startsWith("Udp:")) std::fprintf(stderr, "%s\n", l.constData());
        for (int k = 1; k <= 8; ++k)
            std::fprintf(stderr, "slot %d %d %s\n", k, Testing::slotMate(*main, k)->isChecked(),
                         qPrintable(Testing::slotAddress(*main, k)->text()));
    }
    std::printf("%d %d %d %.2f %.2f %.2f %.2f %.2f %.1f %lld %lld\n", sentLines, int(lineMs.size()), inOrder ? 1 : 0,
                median(lineMs), slowest(lineMs), median(searchMs), slowest(searchMs), afterStorm,
                rssMost - rssBefore, (long long)floodSent, (long long)s.network.receiveQueue().droppedTotal());
    std::fflush(stdout);
    return 0;
}

int drain(quint16 port, int count, const PeerNamespace& peers) {
    StationUnderTest s;
    processFor(300);
    std::atomic<bool> done{false};
    std::atomic<double> senderCpu{0};
    const long long before = s.network.read;  // the station's own search
    const qint64 refusedBefore = s.network.receiveQueue().droppedTotal();
    // Datagrams sent and not yet handled (or refused): in the kernel's buffer or the queue.
    auto waiting = [&](int sent) { return sent - (s.network.read - before) + s.network.receiveQueue().queued(); };
    std::thread sender([&] {
        if (!peers.enter()) return;
        const double cpu0 = threadCpuSeconds();
        const int fd = boundSocket("10.77.0.3", 0);
        Junk junk(7);
        // Never more waiting than the kernel's buffer surely holds and the queue takes from one
        // sender: every datagram is handled, none dropped, so the figure is what handling costs.
        // In bursts of 400, as a flood comes, each when fewer than 100 wait.
        for (int i = 0; i < count;) {
            while (waiting(i) > 100) std::this_thread::sleep_for(std::chrono::microseconds(500));
            for (const int end = std::min(count, i + 400); i < end; ++i) sendTo(fd, junk.next(port), port);
        }
        ::close(fd);
        senderCpu = threadCpuSeconds() - cpu0;
        done = true;
    });
    const double cpu0 = processCpuSeconds();
    const auto wall0 = Clock::now();
    // Until every datagram is read and handled (or, should the kernel have dropped some, until
    // nothing has moved for two seconds after the last send).
    QElapsedTimer still;
    still.start();
    long long seen = 0;
    QTimer tick;  // the loop below sleeps in the event loop (not to count a busy wait) but looks again every 5 ms
    tick.start(5);
    while (!(done && s.network.read - before >= count && s.network.receiveQueue().queued() == 0) &&
           !(done && still.elapsed() > 2000)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (s.network.read != seen || s.network.receiveQueue().queued() > 0) {
            seen = s.network.read;
            still.restart();
        }
    }
    const double wall = ms(Clock::now() - wall0) / 1000;
    sender.join();
    // The station's threads (the window's and, where there is one, the network's reader), the
    // sender's own left out.
    const double cpu = processCpuSeconds() - cpu0 - senderCpu;
    // What the station costs idle (its timers, the loop above) for as long as the drain took: the
    // junk's own cost is the difference.
    const double idleFor = std::min(wall, 3.0);
    const double idle0 = processCpuSeconds();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < qint64(idleFor * 1000))
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const double idleCpu = (processCpuSeconds() - idle0) * wall / idleFor;
    std::printf("%.3f %.3f %lld %lld %.3f\n", cpu - idleCpu, wall, (long long)(s.network.read - before),
                (long long)(s.network.receiveQueue().droppedTotal() - refusedBefore), cpu);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!Testing::enterPrivateNetwork()) {
        std::fprintf(stderr, "bench_flood: needs root for private network namespaces\n");
        return 0;
    }
    QApplication app(argc, argv);
    PeerNamespace peers;
    if (!peers.ok) {
        std::fprintf(stderr, "bench_flood: could not set up the namespaces\n");
        return 1;
    }
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "storm") return storm(argc > 2 ? QByteArray(argv[2]) : "all", argc > 3 ? std::atoi(argv[3]) : 4, peers);
    if (mode == "drain") return drain(quint16(argc > 2 ? std::atoi(argv[2]) : 6713), argc > 3 ? std::atoi(argv[3]) : 20000, peers);
    return oldFlood(argc, argv, peers);
}
