// The pre-roll window: F1 on a pre-roll of 20 000 lines handled to the end (send path, caret,
// monitor feed of the key release, the events it leaves), the key-release monitor feed with
// doubling, and, with the argument "append", the longest gap between handled events while a 1 MB
// file is appended to a pre-roll.
#include "bench_support.h"

#include "core/preroll.h"
#include "core/record.h"
#include "windows/prepared/preroll_pane.h"
#include "settings/line_file.h"
#include "text/cp932.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>

namespace {

QString scriptLine(int i) {
    return QStringLiteral("本日は要約筆記の研修会にお越しいただき、ありがとうございます。その%1").arg(i);
}

// A started station with eight members, its pre-roll window shown with 20 000 lines in pre-roll 1.
struct PrerollStation {
    Net::MemoryNetwork lan;
    Testing::TestStation s{lan, "192.168.1.10"};
    TForm11& w = *s.main->templateWindow();
    PrerollStation() {
        s.finishStartup();
        Testing::control<QCheckBox>(*s.main, "CheckBox5")->setChecked(false);  // no acceleration flips in a steady state
        for (int k = 1; k <= 8; ++k) {
            Testing::slotAddress(*s.main, k)->setText(QStringLiteral("192.168.1.%1").arg(20 + k));
            Testing::slotMate(*s.main, k)->setChecked(true);
        }
        QStringList lines;
        for (int i = 0; i < 20000; ++i) lines << scriptLine(i);
        Testing::control<PrerollPane>(w, "RichEdit1")->setPlainText(lines.join(u'\n'));
        w.show();
        QCoreApplication::processEvents();
    }
    void caretTo(int line) {
        QTextCursor c(Testing::control<PrerollPane>(w, "RichEdit1")->document());
        c.setPosition(Testing::control<PrerollPane>(w, "RichEdit1")->document()->findBlockByNumber(line).position());
        Testing::control<PrerollPane>(w, "RichEdit1")->setTextCursor(c);
    }
};

void runF1(benchmark::State& state, bool removeSent) {
    PrerollStation p;
    Testing::control<QCheckBox>(p.w, "CheckBox2")->setChecked(removeSent);
    Testing::control<QCheckBox>(p.w, "CheckBox9")->setChecked(true);  // the monitor feed to all eight members
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    for (auto _ : state) {
        state.PauseTiming();
        p.caretTo(10000);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        p.w.F1Key(1);
        p.w.PaneKeyUp(1, &release);
        QCoreApplication::processEvents();  // the layout and painting the key left behind
        state.PauseTiming();
        Testing::control<QTimer>(*p.s.main, "Timer1")->stop();
        p.s.main->record().removeLastLine();  // the record keeps its size
        p.lan.clearSent();
        state.ResumeTiming();
    }
    state.counters["lines"] = Testing::control<PrerollPane>(p.w, "RichEdit1")->document()->blockCount();
}

void BM_PrerollF1Lines20000(benchmark::State& state) { runF1(state, false); }
BENCHMARK(BM_PrerollF1Lines20000)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_PrerollF1DeleteLines20000(benchmark::State& state) { runF1(state, true); }
BENCHMARK(BM_PrerollF1DeleteLines20000)->Unit(benchmark::kMillisecond)->Iterations(200);

// The feed of one key release with "モニターの行数を２倍" to one member: 10 lines below and 4 above
// the caret, each part cleared first (16 datagrams).
void BM_MonitorFeedDoubled(benchmark::State& state) {
    PrerollStation p;
    Testing::control<QCheckBox>(*p.s.main, "CheckBox48")->setChecked(true);
    for (int k = 2; k <= 8; ++k) Testing::slotMate(*p.s.main, k)->setChecked(false);
    Testing::control<QCheckBox>(p.w, "CheckBox9")->setChecked(true);
    p.caretTo(5000);
    QCoreApplication::processEvents();
    p.lan.clearSent();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    for (auto _ : state) {
        p.w.PaneKeyUp(1, &release);
        state.PauseTiming();
        if (p.lan.sent().size() != 16) {
            state.SkipWithError(qPrintable(QStringLiteral("%1 datagrams, not 16").arg(p.lan.sent().size())));
            break;
        }
        p.lan.clearSent();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MonitorFeedDoubled)->Unit(benchmark::kMicrosecond)->Iterations(3000);

// Appends a file of 1 MB to pre-roll 1 with "追加" and prints: the file's bytes and lines, the
// time the load took, the longest and the median gap between handled events (a 1 ms timer that
// also posts a key release to the pane, so keys are handled during the load), in ms.
int appendFigure() {
    PrerollStation p;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("script.txt"));
    QList<QByteArray> lines;
    qsizetype bytes = 0;
    for (int i = 0; bytes < 1024 * 1024; ++i) {
        lines << Cp932::encode(scriptLine(i));
        bytes += lines.last().size() + 2;
    }
    if (!Settings::writeLines(path, lines)) return 1;
    auto* richEdit1 = Testing::control<PrerollPane>(p.w, "RichEdit1");
    richEdit1->setPlainText(QStringLiteral("既にある行"));
    Testing::control<QCheckBox>(p.w, "CheckBox1")->setChecked(true);
    p.s.dialogs.openNames.push_back(path);

    QList<double> gaps;
    QElapsedTimer since, total;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        gaps << since.nsecsElapsed() / 1e6;
        since.restart();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(richEdit1, &release);  // a key the typist presses meanwhile
    });
    total.start();
    since.start();
    tick.start();
    Testing::control<QPushButton>(p.w, "Button36")->click();
    while (p.w.loading()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double ms = total.nsecsElapsed() / 1e6;
    tick.stop();
    std::vector<double> sorted(gaps.begin(), gaps.end());
    std::sort(sorted.begin(), sorted.end());
    const double worst = sorted.empty() ? 0 : sorted.back();
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    std::printf("%lld %d %.0f %.1f %.2f\n", static_cast<long long>(bytes), richEdit1->document()->blockCount(), ms,
                worst, median);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "append") == 0) {
        QApplication app(argc, argv);
        App::installFontSubstitutions();
        return appendFigure();
    }
    return Bench::runBenchmarks(argc, argv);
}
