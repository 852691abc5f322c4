// Text layer: the filter of a full line and the code page conversion of an input-pane line.
#include "text/cp932.h"
#include "text/text_filter.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray japaneseBytes(int bytes) {
    const QString phrase = QStringLiteral("本日は要約筆記の研修会にお越しいただきありがとうございます。");
    QByteArray out;
    while (out.size() < bytes) out += Cp932::encode(phrase);
    return Cp932::leftSafe(out, bytes);
}

void BM_FilterText512(benchmark::State& state) {
    QByteArray line = japaneseBytes(500) + "\tabc def\x80";
    line = line.left(512);
    for (auto _ : state) benchmark::DoNotOptimize(Text::FilterText(line));
}
BENCHMARK(BM_FilterText512);

void BM_Encode254(benchmark::State& state) {
    const QString text = Cp932::decode(japaneseBytes(254));
    for (auto _ : state) benchmark::DoNotOptimize(Cp932::encode(text));
}
BENCHMARK(BM_Encode254);

void BM_Decode254(benchmark::State& state) {
    const QByteArray bytes = japaneseBytes(254);
    for (auto _ : state) benchmark::DoNotOptimize(Cp932::decode(bytes));
}
BENCHMARK(BM_Decode254);

}  // namespace

BENCHMARK_MAIN();
