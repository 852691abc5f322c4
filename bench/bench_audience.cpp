// The audience page with a crowd: 300 readers of the event stream on loopback, in a network
// namespace of the benchmark's own (root only; it says so and ends otherwise).
//   BM_AppendFanOut/N   a line appended to the record, with N readers: the processor time of
//                       the station's thread, handing the event to the writer thread included
//   latency             prints the median and the slowest of 200 lines, in ms, from the append to
//                       the event having reached every one of 300 readers, and the writer
//                       thread's processor time per event (the fan-out to 300 readers), in µs
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

}  // namespace

int main(int argc, char** argv) {
    if (!Testing::enterPrivateNetwork()) {
        std::fprintf(stderr, "bench_audience: needs root for a private network namespace\n");
        return 0;
    }
    QGuiApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "latency") == 0) return latencyFigure();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
