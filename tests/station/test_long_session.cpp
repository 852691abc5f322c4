// A long session in accelerated time: eight stations on one LAN, each sending a line every two
// seconds with live typing before it, the periodic clear every ten minutes, notices and contact
// lines now and then, two channel changes, and one member who leaves and comes back. Every line
// must reach every display that was in the group when it was sent, in order, and the memory after
// the last hour must be within 5 MB a station of the memory after the first.
//
// The clock is the stations' own (set by the test); timers are called, never waited for. Under the
// address sanitizer the session is shorter (30 minutes, measured at 15 and 30): its allocator makes
// each step several times slower and keeps freed memory in quarantine, so the process figures are
// only reported there.
#include "support/lan.h"

#include "audience/record_mirror.h"
#include "audience/service.h"
#include "audience/transcript.h"
#include "windows/messaging/contact_window.h"
#include "windows/messaging/notice_window.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>
#include <QTest>
#include <deque>
#include <malloc.h>

using namespace Testing;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
constexpr int kMinutes = kSanitized ? 30 : 180;
constexpr int kStations = 8;
constexpr int kStepSeconds = 2;
constexpr qint64 kMB = 1024 * 1024;

// Resident memory of the whole process, with the allocator's free pages handed back first so that
// what is counted is memory in use.
qint64 residentBytes() {
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// What the allocator has handed out and not had back, in bytes (mapped blocks included).
qint64 heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return qint64(m.uordblks + m.hblkhd);
}

// What one station holds that grows with the traffic, in bytes (approximately: text at two bytes a
// character).
struct Holdings {
    qint64 record = 0, explanation = 0, contact = 0, monitor = 0, transcript = 0, mirror = 0, queue = 0;
    qint64 total() const { return record + explanation + contact + monitor + transcript + mirror + queue; }
};

Holdings holdingsOf(TestStation& s) {
    Holdings h;
    h.record = s.main->record().byteLength();
    h.explanation = 2 * Testing::control<QTextEdit>(*s.main, "RichEdit3")->document()->characterCount();
    h.contact = 2 * Testing::control<QTextEdit>(*s.main->contactWindow(), "RichEdit2")->document()->characterCount();
    h.monitor = 2 * Testing::control<TextPane>(*s.main, "RichEdit27")->document()->characterCount();
    // A transcript entry: its text, three times, an id and the string's header and allocation.
    for (const auto& cue : s.main->audience().transcript().cues()) h.transcript += 2 * cue.text.size() + 96;
    for (const auto& l : s.main->audience().mirror().lines()) h.mirror += 2 * l.text.size() + 32;
    h.queue = s.host.receiveQueue().queued() * 1024;
    return h;
}

}  // namespace

class LongSessionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }
    void eightStationsForHours();
};

void LongSessionTest::eightStationsForHours() {
    Lan lan;
    std::vector<TestStation*> st;
    for (int i = 0; i < kStations; ++i) st.push_back(&lan.add(11 + i, QStringLiteral("S%1").arg(i + 1)));
    for (TestStation* s : st) {
        s->finishStartup();
        lan.net.deliverAll();
    }
    // Every display's lines as the audience would see them (the record itself is cleared), each
    // checked at once against the oldest line that display still awaits: the test keeps no
    // transcript of its own, so its bookkeeping does not grow with the session.
    std::vector<std::deque<QString>> awaited(kStations);
    std::vector<qint64> sentTo(kStations, 0), shown(kStations, 0);
    QStringList faults;
    for (int i = 0; i < kStations; ++i)
        connect(&st[i]->main->audience().mirror(), &Audience::RecordMirror::lineAdded,
                [&awaited, &shown, &faults, i](qint64, const QString& text) {
                    if (!text.startsWith(u'S')) return;
                    ++shown[i];
                    if (!awaited[i].empty() && awaited[i].front() == text) {
                        awaited[i].pop_front();
                    } else if (faults.size() < 10) {
                        faults << QStringLiteral("display %1: %2 instead of %3")
                                      .arg(i + 1)
                                      .arg(text, awaited[i].empty() ? QStringLiteral("nothing") : awaited[i].front());
                    }
                });
    for (TestStation* s : st) {
        s->main->show();
        Testing::control<TextPane>(*s->main, "RichEdit1")->clear();
    }
    std::vector<bool> present(kStations, true);
    const int away = kStations - 1;  // the member who leaves and comes back
    auto everyoneKnowsEveryone = [&] {
        for (int i = 0; i < kStations; ++i)
            for (int j = 0; j < kStations; ++j)
                if (i != j && present[i] && present[j] && !st[i]->main->team().findMember(st[j]->address()))
                    return false;
        return true;
    };
    QVERIFY(everyoneKnowsEveryone());

    auto changeChannel = [&](int index) {
        for (TestStation* s : st) {
            Testing::control<QComboBox>(*s->main, "ComboBox2")->setCurrentIndex(index);
            lan.net.deliverAll();
        }
    };

    qint64 rssFirst = 0, rssLast = 0, heapFirst = 0, heapLast = 0;
    std::vector<Holdings> first(kStations), last(kStations);
    const int steps = kMinutes * 60 / kStepSeconds;
    const int firstMark = kMinutes == 180 ? 60 * 60 / kStepSeconds : steps / 2;
    int lineNo = 0;
    for (int step = 1; step <= steps; ++step) {
        const int minute = step * kStepSeconds / 60;
        const bool minuteStart = (step * kStepSeconds) % 60 == 0;
        for (TestStation* s : st) s->clock.time = s->clock.time.addSecs(kStepSeconds);
        ++lineNo;
        for (int i = 0; i < kStations; ++i) {
            if (!present[i]) continue;
            TestStation& s = *st[i];
            const QString line = QStringLiteral("S%1-%2").arg(i + 1).arg(lineNo);
            for (int d = 0; d < kStations; ++d)
                if (present[d]) {
                    awaited[d].push_back(line);
                    ++sentTo[d];
                }
            // Live typing: the line's first characters arrive without a key, the last two are typed.
            Testing::control<TextPane>(*s.main, "RichEdit1")->clear();
            Testing::control<TextPane>(*s.main, "RichEdit1")->insertPlainText(line.chopped(2));
            for (QChar c : line.right(2)) QTest::keyClick(Testing::control<TextPane>(*s.main, "RichEdit1"), c.toLatin1());
            QTest::keyClick(Testing::control<TextPane>(*s.main, "RichEdit1"), Qt::Key_Return);
            // The stations send at different moments of the two seconds: each line is on every
            // display before the next station sends, so every display must show the same order.
            lan.net.deliverAll();
        }

        if (minuteStart && minute % 10 == 0)
            for (TestStation* s : st) s->main->PeriodicClear();
        if (minuteStart && minute % 7 == 3) {  // a contact line from one station to all
            TestStation& s = *st[minute % kStations];
            if (present[minute % kStations]) {
                Testing::control<TextPane>(*s.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("連絡%1").arg(minute));
                s.main->contactWindow()->SendContactLine(true);
            }
        }
        if (minuteStart && minute % 13 == 5) {  // a notice
            TestStation& s = *st[(minute / 13) % (kStations - 1)];
            Testing::control<QLineEdit>(*s.main->noticeWindow(), "Edit1")->setText(QStringLiteral("お知らせ%1").arg(minute));
            s.main->noticeWindow()->SendNotice();
        }
        if (minuteStart && (minute == kMinutes / 3 || minute == 2 * kMinutes / 3))  // channel 2 and back
            changeChannel(minute == kMinutes / 3 ? 1 : 0);
        if (minuteStart && minute == kMinutes / 2) {  // the last member rests
            st[away]->main->team().rest();
            present[away] = false;
        }
        if (minuteStart && minute == kMinutes / 2 + 5) {  // and comes back
            st[away]->main->team().restartSearch();
            present[away] = true;
        }
        lan.net.deliverAll();
        // The simulated LAN logs every datagram for tests that read it; that log is not a station's.
        lan.net.clearSent();
        if (minuteStart && minute % 10 == 0) QVERIFY2(everyoneKnowsEveryone(), qPrintable(QString::number(minute)));
        // Timers that ran meanwhile in the event loop are the stations' business; the ticker of a
        // notice ends by itself.

        if (step == firstMark || step == steps) {
            const qint64 rss = residentBytes();
            std::vector<Holdings>& h = step == firstMark ? first : last;
            for (int i = 0; i < kStations; ++i) h[i] = holdingsOf(*st[i]);
            (step == firstMark ? rssFirst : rssLast) = rss;
            (step == firstMark ? heapFirst : heapLast) = heapInUse();
        }
    }

    // Every line reached every display that was in the group, in order, once.
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    for (int d = 0; d < kStations; ++d) {
        if (!awaited[d].empty())
            QFAIL(qPrintable(QStringLiteral("display %1 never showed %2 lines, the first %3")
                                 .arg(d + 1).arg(awaited[d].size()).arg(awaited[d].front())));
        QCOMPARE(shown[d], sentTo[d]);
    }
    for (TestStation* s : st) QCOMPARE(s->host.receiveQueue().droppedTotal(), 0);

    // Memory: the process (eight stations) and what each station holds.
    const double growth = double(rssLast - rssFirst) / kMB;
    qInfo("session of %d minutes, %d lines a station; resident memory at minute %d: %.1f MB, at the end: %.1f MB "
          "(%+.2f MB, %+.2f MB a station)",
          kMinutes, lineNo, firstMark * kStepSeconds / 60, double(rssFirst) / kMB, double(rssLast) / kMB, growth,
          growth / kStations);
    if (!kSanitized)
        qInfo("heap in use at minute %d: %.1f MB, at the end: %.1f MB (%+.2f MB a station)", firstMark * kStepSeconds / 60,
          double(heapFirst) / kMB, double(heapLast) / kMB, double(heapLast - heapFirst) / kMB / kStations);
    for (int i = 0; i < kStations; ++i) {
        const Holdings& a = first[i];
        const Holdings& b = last[i];
        qInfo("station %d holds %.2f -> %.2f MB (record %lld -> %lld, explanation %lld -> %lld, contact %lld -> %lld, "
              "transcript %lld -> %lld, mirror %lld -> %lld, queue %lld -> %lld)",
              i + 1, double(a.total()) / kMB, double(b.total()) / kMB, a.record, b.record, a.explanation,
              b.explanation, a.contact, b.contact, a.transcript, b.transcript, a.mirror, b.mirror, a.queue, b.queue);
        QVERIFY2(b.total() - a.total() < 5 * kMB, qPrintable(QStringLiteral("station %1").arg(i + 1)));
    }
    // The sanitizer's allocator keeps freed memory in quarantine and its own books (mallinfo2 does
    // not see them): there only what the stations hold is held to the bound.
    if (!kSanitized) {
        QVERIFY2(rssLast - rssFirst < qint64(kStations) * 5 * kMB, "resident memory grew by more than 5 MB a station");
        QVERIFY2(heapLast - heapFirst < qint64(kStations) * 5 * kMB, "the heap grew by more than 5 MB a station");
    }
}

QTEST_MAIN(LongSessionTest)
#include "test_long_session.moc"
