// The numbered settings file on a running station: writing every window's keys to a file, and
// applying a whole file (every key, handlers included) to the station.
#include "bench_support.h"

#include "settings/line_file.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Station {
    Net::MemoryNetwork lan;
    Testing::TestStation s{lan, "192.168.1.10"};
    Station() { s.finishStartup(); }
};

void BM_WriteSettingsFile(benchmark::State& state) {
    Station st;
    const QString path = st.s.station.programFolder + QStringLiteral("bench.dp9");
    for (auto _ : state) {
        const QList<QByteArray> lines = st.s.main->settingsFileLines(false);
        if (!Settings::writeLines(path, lines)) state.SkipWithError("write failed");
    }
    state.counters["lines"] = double(st.s.main->settingsFileLines(false).size());
}
BENCHMARK(BM_WriteSettingsFile)->Unit(benchmark::kMillisecond);

void BM_ApplySettingsFile(benchmark::State& state) {
    Station st;
    const QList<QByteArray> lines = st.s.main->settingsFileLines(false);
    for (auto _ : state)
        if (!st.s.main->ApplySettings(lines)) state.SkipWithError("apply failed");
}
BENCHMARK(BM_ApplySettingsFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return Bench::runBenchmarks(argc, argv); }
