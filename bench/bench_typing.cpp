// Typing: a key release that produces the live-typing datagrams to the partner and to eight
// members, and a feed datagram to the 8-person monitor with automatic order on.
#include "bench_support.h"

#include "windows/main/member_monitor.h"
#include "net/datagram_endpoint.h"
#include "windows/main/input_strip.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdlib>
#include <benchmark/benchmark.h>

namespace {

void withEightMembers(Testing::TestStation& s) {
    for (int k = 1; k <= 8; ++k) {
        Testing::slotAddress(*s.main, k)->setText(QStringLiteral("192.168.1.%1").arg(20 + k));
        Testing::slotName(*s.main, k)->setText(QStringLiteral("member%1").arg(k));
        Testing::slotMate(*s.main, k)->setChecked(true);
    }
}

void BM_KeyReleaseLiveTyping(benchmark::State& state) {
    Net::MemoryNetwork lan;
    Testing::TestStation s(lan, "192.168.1.10");
    s.finishStartup();
    withEightMembers(s);
    // The partner channel too: slot #1 accepts a pairing.
    s.main->team().pairingReceived("192.168.1.21,192.168.1.10,member1,Req-Partner,Ans", QStringLiteral("192.168.1.21"));
    if (!s.main->hasPartner()) std::abort();
    Testing::control<TextPane>(*s.main, "RichEdit1")->setPlainText(QStringLiteral("本日は要約筆記の研修会にお越しいただき"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    for (auto _ : state) {
        s.main->strip().RichEdit1KeyUp(&release);
        state.PauseTiming();
        lan.clearSent();
        state.ResumeTiming();
    }
    state.counters["datagrams"] = 9;
}
BENCHMARK(BM_KeyReleaseLiveTyping)->Unit(benchmark::kMicrosecond);

void BM_MonitorFeedAutoOrder(benchmark::State& state) {
    Net::MemoryNetwork lan;
    Testing::TestStation s(lan, "192.168.1.10");
    s.finishStartup();
    withEightMembers(s);
    s.main->memberMonitor()->show();
    Testing::control<QCheckBox>(*s.main->memberMonitor(), "CheckBox2")->setChecked(true);
    const QByteArray typing[2] = {Cp932::encode(QStringLiteral("192.168.1.23,次は、会場からの質問を受け付けます")),
                                  Cp932::encode(QStringLiteral("192.168.1.23,$改行$"))};
    int i = 0;
    for (auto _ : state) {
        // Typing and sent in turn, so the rows are reordered on every other feed.
        s.main->monitorEndpoint()->acceptDatagram(typing[i++ & 1], QStringLiteral("192.168.1.23"), 6721);
    }
}
BENCHMARK(BM_MonitorFeedAutoOrder)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return Bench::runBenchmarks(argc, argv); }
