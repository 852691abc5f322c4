// The notice ticker: one tick of a strip 1920 pixels wide with a 36-point font, for a short notice
// and for a notice of 1000 bytes; each tick moves the text, draws the strip and paints the widget.
#include "bench_support.h"

#include "ui/canvas.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

struct Ticker {
    Net::MemoryNetwork lan;
    Testing::TestStation s{lan, "192.168.1.10"};
    TForm15& w = *s.main->noticeWindow();
    explicit Ticker(const QString& text) {
        Testing::control<QCheckBox>(w, "CheckBox4")->setChecked(false);  // placed as given, not over the (small) display of this station
        Testing::control<QCheckBox>(w, "CheckBox1")->setChecked(true);   // endless, so every tick does the same work
        Testing::control<QLineEdit>(w, "Edit4")->setText(QStringLiteral("0"));
        Testing::control<QLineEdit>(w, "Edit1")->setText(text);
        w.setBox({0, 0, 1920, 200}, true);
        w.show();
        w.ShowNotice();
        QCoreApplication::processEvents();
    }
};

void tick(benchmark::State& state, const QString& text) {
    Ticker t(text);
    Canvas* strip = Testing::control<Canvas>(t.w, "Image2");  // found once: only the tick is timed
    for (auto _ : state) {
        t.w.Timer1Timer();
        strip->repaint();
    }
    state.counters["strip_width"] = t.w.width();
    state.counters["strip_height"] = t.w.height();
}

void BM_TickerTick1920(benchmark::State& state) {
    tick(state, QStringLiteral("交代です！　次は１０時３０分から、第２部「地域で支える聞こえの支援」が始まります。"));
}
BENCHMARK(BM_TickerTick1920)->Unit(benchmark::kMicrosecond);

void BM_TickerTick1920Long(benchmark::State& state) {
    QString text;
    for (int i = 0; i < 500; ++i) text += QChar(u'あ' + i % 80);  // 1000 bytes
    tick(state, text);
}
BENCHMARK(BM_TickerTick1920Long)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return Bench::runBenchmarks(argc, argv); }
