// The caption display: one smooth-screen tick at 1920 × 1080, appending a line to a small and to a
// full record, and the memory of a full record. "memory" as argument prints the memory figure;
// "crowd" the tick with 300 readers of the audience page against the tick without them.
#include "bench_support.h"

#include "audience_crowd.h"
#include "audience/reader_pool.h"
#include "audience/service.h"
#include "unit/private_network.h"

#include "app/canvas.h"
#include "core/record.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

const QByteArray kLine = Cp932::encode(QStringLiteral("本日は要約筆記の研修会にお越しいただきありがとうございます。"));

struct Station {
    Net::MemoryNetwork lan;
    Testing::TestStation s{lan, "192.168.1.10"};
    Ttalk2e& m = *s.main;
    Station() {
        m.show();
        m.resize(1920, 1080);
        QCoreApplication::processEvents();
        m.Image1->resetPicture(QSize(1940, 1100), Qt::white);
        s.finishStartup();
        m.CheckBox5->setChecked(false);  // steady speed: every tick the same work
        QCoreApplication::processEvents();
    }
    void fillTo(qsizetype bytes) {
        while (m.record().byteLength() < bytes) m.AppendReceivedLine(kLine);
        m.RedrawDisplay();
    }
};

void BM_SmoothScreenTick1080(benchmark::State& state) {
    Station st;
    st.fillTo(6000);
    for (auto _ : state) {
        if (!st.m.Timer1->isActive()) {
            state.PauseTiming();
            for (int i = 0; i < 50; ++i) st.m.AppendReceivedLine(kLine);
            state.ResumeTiming();
        }
        st.m.Timer1Timer();
    }
    state.counters["visible_lines"] = st.m.scroller().visibleLines;
}
BENCHMARK(BM_SmoothScreenTick1080)->Unit(benchmark::kMicrosecond);

void appendTo(benchmark::State& state, qsizetype size) {
    Station st;
    st.fillTo(size);
    for (auto _ : state) {
        st.m.AppendReceivedLine(kLine);
        state.PauseTiming();
        st.m.Timer1->stop();  // only the append is measured; the record keeps its size
        st.m.record().removeLastLine();
        state.ResumeTiming();
    }
    state.counters["record_bytes"] = double(st.m.record().byteLength());
}
void BM_AppendLineSmallRecord(benchmark::State& state) { appendTo(state, 6 * 1024); }
void BM_AppendLineFullRecord(benchmark::State& state) { appendTo(state, Ttalk2e::kRecordLimit); }
BENCHMARK(BM_AppendLineSmallRecord)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_AppendLineFullRecord)->Unit(benchmark::kMicrosecond)->Iterations(2000);

int memoryFigure() {
    Station st;
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    const long before = Bench::residentKb();
    st.fillTo(Ttalk2e::kRecordLimit);
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    const long after = Bench::residentKb();
    std::printf("%ld %ld %lld\n", before, after, (long long)st.m.record().byteLength());
    return 0;
}

double threadSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Median processor time of the station's thread for one smooth-screen tick, over `ticks` ticks
// with lines arriving all the time (each one an event for the audience page's readers).
double medianTick(Station& st, int ticks) {
    std::vector<double> times;
    times.reserve(size_t(ticks));
    for (int i = 0; i < ticks; ++i) {
        if (!st.m.Timer1->isActive()) {
            for (int j = 0; j < 10; ++j) st.m.AppendReceivedLine(kLine);
            QCoreApplication::processEvents();  // the page's events go to the writer thread
        }
        const double t0 = threadSeconds();
        st.m.Timer1Timer();
        times.push_back(threadSeconds() - t0);
        if (i % 20 == 0) QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The smooth-screen tick with the audience page on and no reader, then with 300 readers, in one
// run: prints both medians in ms, the ratio and the readers connected.
int crowdTickFigure() {
    Station st;
    st.fillTo(6000);
    if (!st.m.audience().setEnabled(true)) return 1;
    medianTick(st, 500);  // warm up
    const double alone = medianTick(st, 3000);
    Bench::Crowd crowd(300, st.m.audience().port(), [] { QCoreApplication::processEvents(); });
    const auto until = Bench::Clock::now() + std::chrono::seconds(20);
    while (st.m.audience().readers().count() < 300 && Bench::Clock::now() < until) QCoreApplication::processEvents();
    const double crowded = medianTick(st, 3000);
    std::printf("%.4f %.4f %.3f %d\n", alone * 1e3, crowded * 1e3, crowded / alone, st.m.audience().readers().count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "memory") == 0) {
        QApplication app(argc, argv);
        App::installFontSubstitutions();
        return memoryFigure();
    }
    if (argc > 1 && std::strcmp(argv[1], "crowd") == 0) {
        // The page's readers connect over loopback: in a network of the benchmark's own.
        if (!Testing::enterPrivateNetwork()) {
            std::fprintf(stderr, "bench_display crowd: needs root for a private network namespace\n");
            return 0;
        }
        QApplication app(argc, argv);
        App::installFontSubstitutions();
        return crowdTickFigure();
    }
    return Bench::runBenchmarks(argc, argv);
}
