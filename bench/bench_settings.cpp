// Settings file and traffic scrambling: Scramble and Unscramble of a full line, and writing and
// applying a table the size of the whole station's (about 600 entries of mixed kinds).
#include "net/scramble.h"
#include "settings/key_table.h"
#include "settings/line_file.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

QByteArray japaneseBytes(int bytes) {
    const QString phrase = QStringLiteral("本日は要約筆記の研修会にお越しいただきありがとうございます。");
    QByteArray out;
    while (out.size() < bytes) out += Cp932::encode(phrase);
    return Cp932::leftSafe(out, bytes);
}

void BM_Scramble254(benchmark::State& state) {
    const QByteArray line = japaneseBytes(254);
    const QByteArray password = Cp932::encode(Net::defaultPassword());
    const int key = Net::DeriveKey(password);
    for (auto _ : state) benchmark::DoNotOptimize(Net::Scramble(line, password, key));
}
BENCHMARK(BM_Scramble254);

void BM_Unscramble254(benchmark::State& state) {
    const QByteArray password = Cp932::encode(Net::defaultPassword());
    const int key = Net::DeriveKey(password);
    const QByteArray payload = *Net::Scramble(japaneseBytes(254), password, key);
    for (auto _ : state) benchmark::DoNotOptimize(Net::Unscramble(payload, password, key));
}
BENCHMARK(BM_Unscramble254);

// 600 entries whose controls are plain values: the cost measured is the table's, not a widget's.
struct FakeTable {
    std::vector<QByteArray> values = std::vector<QByteArray>(999);
    Settings::KeyTable table;

    FakeTable() {
        using Settings::Kind;
        const Kind kinds[] = {Kind::Int, Kind::Colour, Kind::OnOff, Kind::TrueFalse, Kind::Text, Kind::FontName};
        const QByteArray comment = Cp932::encode(u"８人モニターのフォントスタイル：bold");
        const QByteArray off = Cp932::encode(u"８人モニターのフォントスタイル：！bold");
        for (int i = 0; i < 600; ++i) {
            const int key = (i * 5) / 3;  // 600 distinct keys spread over 000…998
            Settings::Entry e;
            e.key = key;
            e.kind = kinds[i % 6];
            e.comment = comment;
            if (e.kind == Kind::OnOff || e.kind == Kind::TrueFalse) e.commentOff = off;
            switch (e.kind) {
            case Kind::Int: values[size_t(key)] = QByteArray::number(key * 7); break;
            case Kind::Colour: values[size_t(key)] = "-2147483640"; break;
            case Kind::OnOff: values[size_t(key)] = Settings::onOff(key % 2); break;
            case Kind::TrueFalse: values[size_t(key)] = Settings::trueFalse(key % 2); break;
            default: values[size_t(key)] = Cp932::encode(u"ＭＳ Ｐゴシック"); break;
            }
            e.read = [this, key] { return values[size_t(key)]; };
            e.apply = [this, key](QByteArrayView v) { values[size_t(key)] = v.toByteArray(); };
            table.add(std::move(e));
        }
    }
};

void BM_WriteSettings600(benchmark::State& state) {
    FakeTable fake;
    for (auto _ : state) {
        QList<QByteArray> lines;
        Settings::WriteSettings(fake.table, lines);
        lines.append(Settings::ownNameLine("host"));
        benchmark::DoNotOptimize(Settings::joinLines(lines));
    }
}
BENCHMARK(BM_WriteSettings600);

void BM_ApplySettings600(benchmark::State& state) {
    FakeTable fake;
    QList<QByteArray> lines;
    Settings::WriteSettings(fake.table, lines);
    const QByteArray bytes = Settings::joinLines(lines);
    for (auto _ : state) benchmark::DoNotOptimize(Settings::ApplySettings(fake.table, Settings::splitLines(bytes)));
}
BENCHMARK(BM_ApplySettings600);

}  // namespace

BENCHMARK_MAIN();
