// The caption path: a line datagram handled to the end with a 600 KB record, and SendLine of a
// 254-byte line to eight members (on the in-memory LAN, so the figure is this program's work).
#include "bench_support.h"

#include "core/record.h"
#include "net/datagram_endpoint.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

QByteArray line(int bytes) {
    QByteArray out;
    const QByteArray phrase = Cp932::encode(QStringLiteral("本日は要約筆記の研修会にお越しいただきありがとうございます。"));
    while (out.size() < bytes) out += phrase;
    return Cp932::leftSafe(out, bytes);
}

void BM_ReceiveLine600KB(benchmark::State& state) {
    Net::MemoryNetwork lan;
    Testing::TestStation s(lan, "192.168.1.10");
    s.finishStartup();
    Testing::control<QCheckBox>(*s.main, "CheckBox5")->setChecked(false);  // as below: no acceleration flips in a steady state
    const QByteArray l = line(60);
    while (s.main->record().byteLength() < 600 * 1024) s.main->AppendReceivedLine(l);
    for (auto _ : state) {
        s.main->linesEndpoint()->acceptDatagram(l, QStringLiteral("192.168.1.11"), 6711);
        state.PauseTiming();
        Testing::control<QTimer>(*s.main, "Timer1")->stop();
        s.main->record().removeLastLine();  // the record keeps its size
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReceiveLine600KB)->Unit(benchmark::kMicrosecond)->Iterations(3000);

void BM_SendLine254ToEight(benchmark::State& state) {
    Net::MemoryNetwork lan;
    Testing::TestStation s(lan, "192.168.1.10");
    s.finishStartup();
    // The record's size is held constant by removing each sent line again, so nothing scrolls;
    // without this the acceleration switch would flip on every run, which in use it does once
    // per burst.
    Testing::control<QCheckBox>(*s.main, "CheckBox5")->setChecked(false);
    for (int k = 1; k <= 8; ++k) {
        Testing::slotAddress(*s.main, k)->setText(QStringLiteral("192.168.1.%1").arg(20 + k));
        Testing::slotMate(*s.main, k)->setChecked(true);
    }
    const QByteArray l = line(254);
    for (auto _ : state) {
        s.main->SendLine(l);
        state.PauseTiming();
        Testing::control<QTimer>(*s.main, "Timer1")->stop();
        s.main->record().removeLastLine();
        lan.clearSent();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SendLine254ToEight)->Unit(benchmark::kMicrosecond)->Iterations(3000);

}  // namespace

int main(int argc, char** argv) { return Bench::runBenchmarks(argc, argv); }
