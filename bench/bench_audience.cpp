// The audience page with a crowd: 300 readers of the event stream on loopback, in a network
// namespace of the benchmark's own (root only; it says so and ends otherwise).
//   BM_AppendFanOut/N   a line appended to the record, with N readers: the processor time of
//                       the station's thread, handing the event to the writer thread included
//   latency             prints the median and the slowest of 200 lines, in ms, from the append to
//                       the event having reached every one of 300 readers, and the writer
//                       thread's processor time per event (the fan-out to 300 readers), in µs
//   abuse               1000 connections that never send a request (4 from each of 200 addresses,
//                       200 more from one address) and 400 event streams that never read (4 from
//                       each of 100 addresses) are opened, lines keep coming; then a new phone
//                       asks for the page and its stream. Prints the ms until the whole page, the
//                       ms until the first event of its stream (-1: none within 5 s), the
//                       descriptors the server holds, the growth of resident memory in MB, and the
//                       descriptors the server still holds 12 s later
// The readers live on a thread of their own with plain sockets, so their reading does not weigh
// on the station's thread that is measured.
#include "audience_crowd.h"
#include "unit/private_network.h"

#include "audience/clock.h"
#include "audience/reader_pool.h"
#include "audience/service.h"
#include "core/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Bench::Clock;
using Bench::Crowd;

struct Station {
    QTextDocument doc;
    Core::Record record{&doc};
    Audience::SystemClock clock;
    Audience::Service service{record, clock};
    Station() {
        record.setText(QStringLiteral("文先頭　\n") + QString(19, u'\n'));
        service.setEnabled(true);
    }
    QString line(int n) const {
        return QStringLiteral("本日は要約筆記の研修会にお越しいただきありがとうございます。#%1#").arg(n);
    }
    // Lets the server take in the readers.
    void settle(int readers) {
        const auto until = Clock::now() + std::chrono::seconds(20);
        while (service.readers().count() < readers && Clock::now() < until) QCoreApplication::processEvents();
    }
};

double threadSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void BM_AppendFanOut(benchmark::State& state) {
    Station st;
    const int readers = int(state.range(0));
    Crowd crowd(readers, st.service.port(), [] { QCoreApplication::processEvents(); });
    st.settle(readers);
    int n = 0;
    for (auto _ : state) {
        // The station thread's own processor time: on two shared cores, wall time would mostly
        // measure how often the crowd's threads preempt it.
        const double t0 = threadSeconds();
        st.record.addLine(st.line(++n));
        state.SetIterationTime(threadSeconds() - t0);
        if (n % 8 == 0) {  // undo now and then, so the record keeps its size
            st.record.removeLastLine();
            QCoreApplication::processEvents();
        }
    }
    state.counters["readers"] = st.service.readers().count();
    state.counters["dropped"] = double(st.service.readers().dropped());
}
BENCHMARK(BM_AppendFanOut)->Arg(0)->Arg(300)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Processor time of this process's thread named `name`, in ns (kernel ticks: coarse, so taken
// over many events).
qint64 threadCpuNs(const char* name) {
    QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm"))), stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');  // fields from the 3rd on
        const qint64 ticks = f.value(11).toLongLong() + f.value(12).toLongLong();  // utime, stime
        return ticks * 1000000000LL / ::sysconf(_SC_CLK_TCK);
    }
    return -1;
}

int latencyFigure() {
    Station st;
    Crowd crowd(300, st.service.port(), [] { QCoreApplication::processEvents(); });
    st.settle(300);
    std::vector<double> ms;
    const qint64 cpu0 = threadCpuNs("audience-writer");
    for (int n = 1; n <= 200; ++n) {
        const auto t0 = Clock::now();
        st.record.addLine(st.line(n));
        const auto until = t0 + std::chrono::seconds(5);
        while (crowd.doneAt(n) == 0 && Clock::now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const qint64 done = crowd.doneAt(n);
        ms.push_back(done ? double(done - t0.time_since_epoch().count()) / 1e6 : 5000.0);
    }
    const qint64 cpu = threadCpuNs("audience-writer") - cpu0;
    std::sort(ms.begin(), ms.end());
    std::printf("%.3f %.3f %d %lld %.0f\n", ms[ms.size() / 2], ms.back(), st.service.readers().count(),
                (long long)st.service.readers().dropped(), double(cpu) / 1e3 / double(ms.size()));
    return 0;
}

// A client socket from loopback address 127.<b>.<c>.<d> of its own, connected to the server.
int connectFrom(quint32 from, quint16 port, int receiveBuffer = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(from);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

quint32 loopback(int b, int c, int d) { return (127u << 24) | (quint32(b) << 16) | (quint32(c) << 8) | quint32(d); }

int openDescriptors() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size()); }

double residentMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:")) return l.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// Reads from `fd` until `done` says so or `ms` pass; what was read.
QByteArray readUntil(int fd, const std::function<bool(const QByteArray&)>& done, int ms) {
    QByteArray got;
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    char buf[65536];
    while (!done(got) && Clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        got.append(buf, int(n));
    }
    return got;
}

int abuseFigure() {
    Station st;
    const quint16 port = st.service.port();
    const int fdsBefore = openDescriptors();
    const double rssBefore = residentMb();
    std::vector<int> clients;
    auto pump = [] { QCoreApplication::processEvents(); };
    // Idle connections: four from each of 200 addresses, and 200 from one.
    for (int a = 0; a < 200; ++a)
        for (int k = 0; k < 4; ++k) {
            clients.push_back(connectFrom(loopback(3, a / 250, 1 + a % 250), port));
            if (clients.size() % 16 == 0) pump();
        }
    for (int k = 0; k < 200; ++k) {
        clients.push_back(connectFrom(loopback(4, 0, 1), port));
        if (k % 16 == 0) pump();
    }
    // Streams that never read, with small buffers: four from each of 100 addresses.
    const QByteArray request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    for (int a = 0; a < 100; ++a)
        for (int k = 0; k < 4; ++k) {
            const int fd = connectFrom(loopback(5, 0, 1 + a), port, 4096);
            if (fd >= 0) ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
            clients.push_back(fd);
            if (clients.size() % 16 == 0) pump();
        }
    // Lines keep coming meanwhile, as in a session.
    int line = 0;
    const auto settle = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < settle) {
        st.record.addLine(st.line(++line));
        const auto next = Clock::now() + std::chrono::milliseconds(50);
        while (Clock::now() < next) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    // The phone, on a thread of its own, while the station goes on.
    std::atomic<bool> phoneDone{false};
    double pageMs = -1, streamMs = -1;
    std::thread phone([&] {
        const auto t0 = Clock::now();
        const int page = connectFrom(loopback(6, 0, 1), port);
        if (page >= 0) {
            const QByteArray get = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
            ::send(page, get.constData(), size_t(get.size()), MSG_NOSIGNAL);
            const QByteArray got = readUntil(page, [](const QByteArray& b) {
                const qsizetype end = b.indexOf("\r\n\r\n");
                if (end < 0) return false;
                const qsizetype at = b.indexOf("Content-Length: ");
                const qint64 length = at < 0 ? 0 : b.mid(at + 16, b.indexOf('\r', at) - at - 16).toLongLong();
                return b.size() >= end + 4 + length;
            }, 5000);
            if (got.startsWith("HTTP/1.1 200")) pageMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            ::close(page);
        }
        const int stream = connectFrom(loopback(6, 0, 1), port);
        if (stream >= 0) {
            ::send(stream, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
            const QByteArray got = readUntil(stream, [](const QByteArray& b) { return b.contains("\ndata: "); }, 5000);
            if (got.startsWith("HTTP/1.1 200") && got.contains("\ndata: "))
                streamMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
            ::close(stream);
        }
        phoneDone = true;
    });
    while (!phoneDone) {
        st.record.addLine(st.line(++line));
        const auto next = Clock::now() + std::chrono::milliseconds(50);
        while (Clock::now() < next && !phoneDone) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    phone.join();
    const int ours = int(std::count_if(clients.begin(), clients.end(), [](int fd) { return fd >= 0; }));
    const int held = openDescriptors() - fdsBefore - ours;
    const double grown = residentMb() - rssBefore;
    // Twelve seconds on, past every request's deadline.
    const auto later = Clock::now() + std::chrono::seconds(12);
    while (Clock::now() < later) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const int heldLater = openDescriptors() - fdsBefore - ours;
    std::printf("%.1f %.1f %d %.1f %d\n", pageMs, streamMs, held, grown, heldLater);
    std::fflush(stdout);
    for (int fd : clients)
        if (fd >= 0) ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!Testing::enterPrivateNetwork()) {
        std::fprintf(stderr, "bench_audience: needs root for a private network namespace\n");
        return 0;
    }
    QGuiApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "latency") == 0) return latencyFigure();
    if (argc > 1 && std::strcmp(argv[1], "abuse") == 0) {
        rlimit files{};  // two ends of some 1400 connections in one process
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
        ::setrlimit(RLIMIT_NOFILE, &files);
        return abuseFigure();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
