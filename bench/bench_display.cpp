// The caption display: one smooth-screen tick at 1920 × 1080, appending a line to a small and to a
// full record, and the memory of a full record. "memory" as argument prints the memory figure.
#include "bench_support.h"

#include "app/canvas.h"
#include "core/record.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <cstring>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "memory") == 0) {
        QApplication app(argc, argv);
        App::installFontSubstitutions();
        return memoryFigure();
    }
    return Bench::runBenchmarks(argc, argv);
}
