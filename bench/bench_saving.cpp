// Saving on a running station: the periodic clear of a full display (the save included), a
// scrambled save of it, and applying a partner's answer to "合わせる" (the 609 transfer).
#include "bench_support.h"

#include "support/lan.h"
#include "net/caption_protocol.h"
#include "settings/settings_file.h"
#include "settings/text_scramble.h"
#include "text/cp932.h"

#include <QCheckBox>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

// 1000 caption lines, 640 KB.
QString fullDisplay() {
    const QString words = QStringLiteral("本日の講演では、要約筆記の歴史と現在の取り組みについてお話しします。ABC 123 ｶﾅ ").repeated(20);
    QString all;
    for (int i = 0; i < 1000; ++i) {
        QString line = QString::number(i);
        for (int j = 0; Cp932::byteLength(line) < 653; ++j) line += words[j];
        all += line + u'\n';
    }
    return all;
}

// Each iteration first fills the record again, untimed, which takes far longer than the clear
// (about a quarter of a second). Counted by processor time, the clear (which mostly waits for the
// disk) would run some two hundred times a repetition: ten iterations keep the run short, and
// every iteration still clears a full display.
void BM_PeriodicClear640KB(benchmark::State& state) {
    static const QString text = fullDisplay();
    Net::MemoryNetwork lan;
    Testing::TestStation s(lan, "192.168.1.10");
    s.finishStartup();
    Testing::control<QCheckBox>(*s.main, "CheckBox39")->setChecked(true);
    Testing::control<QCheckBox>(*s.main, "CheckBox34")->setChecked(state.range(0) != 0);
    qsizetype bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.main->record().setText(text);
        bytes = s.main->record().byteLength();
        state.ResumeTiming();
        s.main->PeriodicClear();
    }
    if (s.main->record().recordLineCount() != 31) state.SkipWithError("not cleared");
    state.counters["KB"] = double(bytes) / 1024;
}
BENCHMARK(BM_PeriodicClear640KB)->Arg(0)->Arg(1)->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_ScrambleText640KB(benchmark::State& state) {
    QList<QByteArray> lines;
    for (const QString& l : fullDisplay().split(u'\n', Qt::SkipEmptyParts)) lines << Cp932::encode(l);
    for (auto _ : state) benchmark::DoNotOptimize(Settings::scrambleText(lines, "password"));
}
BENCHMARK(BM_ScrambleText640KB)->Unit(benchmark::kMillisecond);

QByteArray transferLine(int key, const QByteArray& value) {
    return Net::Wire::SettingsStart() + Settings::recordLine(key, value, "x");
}

void BM_Apply609Answer(benchmark::State& state) {
    Testing::PairedLan p;
    Ttalk2e& b = *p.b.main;
    const QString from = p.a.address();
    int round = 0;
    for (auto _ : state) {
        const int w = 900 + 20 * (round++ % 2);  // a real change each time
        const QList<QByteArray> lines = {Net::Wire::SettingsStart() + Settings::headerLine(),
                                         transferLine(0, "560"), transferLine(1, QByteArray::number(w)),
                                         transferLine(2, "40"), transferLine(3, "60"), transferLine(4, "6"),
                                         transferLine(5, "60"), transferLine(9, round % 2 ? "36" : "32"),
                                         Net::Wire::SettingsEnd()};
        for (const QByteArray& l : lines) b.SettingsTransferReceived(l, from);
    }
    if (b.width() != 900 + 20 * ((round - 1) % 2)) state.SkipWithError("not applied");
}
BENCHMARK(BM_Apply609Answer)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return Bench::runBenchmarks(argc, argv); }
