// The caption display: one smooth-screen tick at 1920 × 1080, appending a line to a small and to a
// full record, and the memory of a full record. "memory" as argument prints the memory figure;
// "crowd" the tick with 300 readers of the audience page against the tick without them; "meeting"
// the tick with online captions posting to a meeting that answers in 200 ms against the tick with
// them off.
#include "bench_support.h"

#include "audience_crowd.h"
#include "audience/reader_pool.h"
#include "audience/online_captions.h"
#include "audience/service.h"
#include "unit/caption_endpoint.h"
#include "unit/private_network.h"

#include "ui/canvas.h"
#include "core/record.h"
#include "text/cp932.h"

#include <QApplication>
#include <QNetworkAccessManager>
#include <QThread>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <thread>
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
        Testing::control<Canvas>(m, "Image1")->resetPicture(QSize(1940, 1100), Qt::white);
        s.finishStartup();
        Testing::control<QCheckBox>(m, "CheckBox5")->setChecked(false);  // steady speed: every tick the same work
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
    const QTimer* timer1 = Testing::control<QTimer>(st.m, "Timer1");  // found once: only the tick is timed
    for (auto _ : state) {
        if (!timer1->isActive()) {
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
        Testing::control<QTimer>(st.m, "Timer1")->stop();  // only the append is measured; the record keeps its size
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
    const QTimer* timer1 = Testing::control<QTimer>(st.m, "Timer1");
    for (int i = 0; i < ticks; ++i) {
        if (!timer1->isActive()) {
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

// A meeting's caption endpoint on a thread of its own (its work is not the station's): every
// answer comes 200 ms late, as from a server far away.
class Meeting : public QThread {
public:
    static constexpr quint16 kPort = 8790;
    std::atomic<bool> ready{false};
    std::atomic<int> posts{0};

protected:
    void run() override {
        Testing::CaptionEndpoint endpoint;
        endpoint.answer = [this](const Testing::EndpointRequest& r) {
            if (r.method == "POST") ++posts;
            return Testing::EndpointAnswer{200, r.method == "GET" ? QByteArray("0") : QByteArray(), 200};
        };
        ready = endpoint.listen(QHostAddress::LocalHost, kPort);
        exec();
    }
};

// Ticks paced as the real timer paces them (30 ms), each with the events that came since handled
// right after it, so whatever the station's thread does for online captions is counted in the
// tick it follows. A line arrives every 31 ticks (as fast as the display scrolls lines in), and
// the screen has lines waiting, so every tick moves it. Processor time of the station's thread
// per tick, in seconds.
void pacedTicks(Station& st, int ticks, std::vector<double>& times) {
    using namespace std::chrono;
    auto next = steady_clock::now();
    for (int i = 0; i < ticks; ++i) {
        next += milliseconds(30);
        if (i % 31 == 0) st.m.AppendReceivedLine(kLine);
        const double t0 = threadSeconds();
        st.m.Timer1Timer();
        QCoreApplication::processEvents();
        times.push_back(threadSeconds() - t0);
        std::this_thread::sleep_until(next);
    }
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double t : v) sum += t;
    return sum / double(v.size());
}

// The smooth-screen tick with online captions off and on (a meeting answering in 200 ms), in
// alternating blocks of one run: prints the medians and means in ms, the ratio of the medians,
// the captions posted and the meeting's posts answered.
int meetingTickFigure() {
    Station st;
    st.fillTo(6000);
    Meeting meeting;
    meeting.start();
    while (!meeting.ready) QThread::msleep(5);
    QNetworkAccessManager web;
    Audience::OnlineCaptions& online = st.m.online();
    online.setNetwork(&web);
    online.setUrl(QStringLiteral("http://127.0.0.1:%1/closedcaption?id=8812&ns=bench").arg(Meeting::kPort));
    std::vector<double> off, on, warm;
    pacedTicks(st, 100, warm);
    // Short blocks in the order off, on, on, off, off, on …: a drift over the run (the record
    // grows, the machine does other work) falls on both alike.
    auto block = [&](bool posting) {
        online.setKind(posting ? Audience::OnlineCaptions::Kind::Zoom : Audience::OnlineCaptions::Kind::Off);
        pacedTicks(st, 93, posting ? on : off);
    };
    for (int pair = 0; pair < 8; ++pair) {
        block(pair % 2 == 1);
        block(pair % 2 == 0);
    }
    const qint64 sent = online.status().sent;
    online.setKind(Audience::OnlineCaptions::Kind::Off);
    online.setNetwork(nullptr);
    meeting.quit();
    meeting.wait();
    std::printf("%.4f %.4f %.3f %.4f %.4f %lld %d\n", median(off) * 1e3, median(on) * 1e3, median(on) / median(off),
                mean(off) * 1e3, mean(on) * 1e3, (long long)sent, int(meeting.posts));
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
    if (argc > 1 && std::strcmp(argv[1], "meeting") == 0) {
        // The meeting's endpoint is on loopback: in a network of the benchmark's own.
        if (!Testing::enterPrivateNetwork()) {
            std::fprintf(stderr, "bench_display meeting: needs root for a private network namespace\n");
            return 0;
        }
        QApplication app(argc, argv);
        App::installFontSubstitutions();
        return meetingTickFigure();
    }
    return Bench::runBenchmarks(argc, argv);
}
