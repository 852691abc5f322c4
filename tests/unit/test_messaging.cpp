// The contact and notice windows' logic without windows: the schedule of contact notices (midnight
// included), the contact texts and broadcast addresses, the notice lines both ways with their
// exact comments, what a received batch applies, the ticker's passes, its strip and placement.
#include "core/contact_schedule.h"
#include "core/contact_text.h"
#include "core/notice_lines.h"
#include "core/notice_ticker.h"
#include "net/caption_protocol.h"
#include "settings/settings_file.h"
#include "settings/values.h"
#include "text/cp932.h"

#include <QFontDatabase>
#include <QTest>

namespace Notice = Core::Notice;
namespace Place = Core::NoticePlacement;
using Core::ContactSchedule;
using Core::NoticeBox;
using Core::TickerPasses;

namespace {

QByteArray sj(QStringView s) { return Cp932::encode(s); }
QDateTime at(int day, int h, int m, int s, int ms = 0) { return QDateTime(QDate(2026, 12, day), QTime(h, m, s, ms)); }

// Runs a schedule tick by tick from `from` to `to` (inclusive) and notes the seconds at which the
// notice and the advance notice fired.
struct Fired {
    QList<QDateTime> notices, advances;
};
Fired runSeconds(ContactSchedule& s, const QDateTime& from, const QDateTime& to, int minutes, bool advanceOn) {
    Fired f;
    for (QDateTime t = from; t <= to; t = t.addSecs(1)) {
        const auto tick = s.tick(t, minutes, advanceOn);
        if (tick.notice) f.notices << t;
        if (tick.advance) f.advances << t;
    }
    return f;
}

Notice::Options sampleOptions() {
    Notice::Options o;
    o.height = "120";
    o.width = "800";
    o.top = "-5";
    o.left = "30";
    o.text = sj(u"本日の会議は１５時からです");
    o.hideAtEnd = false;
    o.overTop = true;
    o.moveBack = true;
    o.pagesBack = false;
    o.stopAtLeft = true;
    o.autoHeight = false;
    o.resetHeight = true;
    o.underBottom = false;
    o.sendLook = true;
    o.look.loop = true;
    o.look.onTop = false;
    o.look.loops = "3";
    o.look.interval = "40";
    o.look.step = "6";
    o.look.fontName = sj(u"ＭＳ Ｐゴシック");
    o.look.fontColour = Settings::Colour::kWindowText;
    o.look.fontSize = 28;
    o.look.background = 65535;
    o.look.bold = true;
    o.look.italic = false;
    o.look.underline = true;
    return o;
}

QList<QByteArray> sjLines(std::initializer_list<QStringView> lines) {
    QList<QByteArray> out;
    for (QStringView l : lines) out << sj(l);
    return out;
}

}  // namespace

class MessagingLogicTest : public QObject {
    Q_OBJECT
private slots:
    // ---- the contact window ----
    void scheduleAdvanceAtThirtyAndNoticeAtSixty();
    void scheduleWithoutAdvanceAndWhenStopped();
    void scheduleCarriesAcrossMidnight();
    void scheduleRestartedByANewInterval();
    void scheduleWithoutAnIntervalSendsNothing();
    void scheduleTexts();
    void intervalFieldCorrections();
    void contactTextsAndTokens();
    void broadcastAddressesOfTheFourExamples();
    void stampsAndSavedNames();

    // ---- the notice lines ----
    void noticeLinesWithTheirComments();
    void noticeLinesWithoutTheLook();
    void followLinesForTheContinuousSend();
    void commaLineBothWays();
    void thousandByteTextTravelsUnchanged();
    void receivedBatchWithoutHeaderAppliesNothing();
    void receivedBatchWithSettingsOff();
    void tooManyColonsEndsTheApplying();
    void nonNumbersEndTheApplying();
    void collectorGathersUntilEnd();
    void wordsMatchTheSettingsFile();

    // ---- the ticker ----
    void passRunsUntilTheTextHasLeft();
    void passStopsAtTheLeftEdge();
    void repetitions();
    void stripDrawsTheTextWhereAsked();
    void showPlacement();
    void endPlacement();
    void f1Placement();
};

// ---------------------------------------------------------------------------------------------

void MessagingLogicTest::scheduleAdvanceAtThirtyAndNoticeAtSixty() {
    ContactSchedule s;
    const QDateTime t0 = at(8, 10, 0, 0);
    s.start(t0, 1);
    QVERIFY(s.running());
    const Fired f = runSeconds(s, t0.addSecs(1), t0.addSecs(150), 1, true);
    QCOMPARE(f.advances, (QList<QDateTime>{t0.addSecs(30), t0.addSecs(90), t0.addSecs(150)}));
    QCOMPARE(f.notices, (QList<QDateTime>{t0.addSecs(60), t0.addSecs(120)}));
    // Right after a notice the full interval remains.
    ContactSchedule r;
    r.start(t0, 5);
    QCOMPARE(r.remainingMs(t0), qint64(300000));
    QVERIFY(r.tick(t0.addSecs(300), 5, false).notice);
    QCOMPARE(r.remainingMs(t0.addSecs(300)), qint64(300000));
    QCOMPARE(Core::RemainingText(r.remainingMs(t0.addSecs(300))), QStringLiteral("残り時間：　5分　0秒"));
}

void MessagingLogicTest::scheduleWithoutAdvanceAndWhenStopped() {
    ContactSchedule s;
    const QDateTime t0 = at(8, 9, 0, 0);
    s.start(t0, 2);
    const Fired f = runSeconds(s, t0.addSecs(1), t0.addSecs(240), 2, false);
    QVERIFY(f.advances.isEmpty());
    QCOMPARE(f.notices, (QList<QDateTime>{t0.addSecs(120), t0.addSecs(240)}));
    s.stop();
    QVERIFY(!s.running());
    const Fired none = runSeconds(s, t0.addSecs(241), t0.addSecs(600), 2, true);
    QVERIFY(none.notices.isEmpty() && none.advances.isEmpty());
    // A late tick fires once and counts the next notice from the time it was due.
    ContactSchedule late;
    late.start(t0, 1);
    QVERIFY(late.tick(t0.addMSecs(60700), 1, false).notice);
    QCOMPARE(late.next(), t0.addSecs(120));
}

void MessagingLogicTest::scheduleCarriesAcrossMidnight() {
    ContactSchedule s;
    const QDateTime start = at(8, 23, 58, 0);
    s.start(start, 5);
    QCOMPARE(s.next(), at(9, 0, 3, 0));
    // 23:59 shows four minutes left, not a day.
    QCOMPARE(Core::RemainingText(s.remainingMs(at(8, 23, 59, 0))), QStringLiteral("残り時間：　4分　0秒"));
    const Fired f = runSeconds(s, at(8, 23, 58, 1), at(9, 0, 8, 30), 5, true);
    QCOMPARE(f.advances, (QList<QDateTime>{at(9, 0, 2, 30), at(9, 0, 7, 30)}));
    QCOMPARE(f.notices, (QList<QDateTime>{at(9, 0, 3, 0), at(9, 0, 8, 0)}));
    // An interval that ends exactly at midnight.
    ContactSchedule m;
    m.start(at(8, 23, 59, 0), 1);
    QVERIFY(!m.tick(at(8, 23, 59, 59, 999), 1, false).notice);
    QVERIFY(m.tick(at(9, 0, 0, 0), 1, false).notice);
}

void MessagingLogicTest::scheduleRestartedByANewInterval() {
    ContactSchedule s;
    const QDateTime t0 = at(8, 12, 0, 0);
    s.restart(t0, 3);  // not running: nothing changes
    QVERIFY(!s.running());
    s.start(t0, 10);
    s.restart(t0.addSecs(100), 2);
    QCOMPARE(s.next(), t0.addSecs(220));
    const Fired f = runSeconds(s, t0.addSecs(101), t0.addSecs(220), 2, true);
    QCOMPARE(f.advances, QList<QDateTime>{t0.addSecs(190)});
    QCOMPARE(f.notices, QList<QDateTime>{t0.addSecs(220)});
}

void MessagingLogicTest::scheduleWithoutAnIntervalSendsNothing() {
    // The interval's digit deleted while the schedule runs: the field reads "0".
    ContactSchedule s;
    const QDateTime t0 = at(8, 13, 0, 0);
    s.start(t0, 5);
    s.restart(t0.addSecs(10), 0);
    Fired f = runSeconds(s, t0.addSecs(10), t0.addSecs(400), 0, true);
    QVERIFY(f.notices.isEmpty() && f.advances.isEmpty());
    // A negative interval is no interval either.
    f = runSeconds(s, t0.addSecs(401), t0.addSecs(500), -2, true);
    QVERIFY(f.notices.isEmpty() && f.advances.isEmpty());
    // A new digit counts from the moment it is typed.
    s.restart(t0.addSecs(500), 1);
    f = runSeconds(s, t0.addSecs(501), t0.addSecs(560), 1, true);
    QCOMPARE(f.advances, QList<QDateTime>{t0.addSecs(530)});
    QCOMPARE(f.notices, QList<QDateTime>{t0.addSecs(560)});
    // Started with "0": nothing until an interval is given.
    ContactSchedule z;
    z.start(t0, 0);
    QVERIFY(z.running());
    f = runSeconds(z, t0, t0.addSecs(120), 0, true);
    QVERIFY(f.notices.isEmpty() && f.advances.isEmpty());
}

void MessagingLogicTest::scheduleTexts() {
    QCOMPARE(Core::ScheduleStoppedText(), QStringLiteral("定時連絡：＜停止中＞"));
    QCOMPARE(Core::RemainingText(61500), QStringLiteral("残り時間：　1分　1秒"));
    QCOMPARE(Core::RemainingText(59999), QStringLiteral("残り時間：　0分　59秒"));
    QCOMPARE(Core::RemainingText(3600000), QStringLiteral("残り時間：　60分　0秒"));
    QCOMPARE(Core::NoticeTimeLine(QTime(10, 5, 7)), QStringLiteral("（10時5分7秒）"));
    QCOMPARE(Core::NoticeTimeLine(QTime(0, 0, 0)), QStringLiteral("（0時0分0秒）"));
}

void MessagingLogicTest::intervalFieldCorrections() {
    QVERIFY(Core::CorrectedInterval(QString()) == QStringLiteral("0"));
    QVERIFY(Core::CorrectedInterval(QStringLiteral("abc")) == QStringLiteral("5"));
    QVERIFY(Core::CorrectedInterval(QStringLiteral("5x")) == QStringLiteral("5"));
    QVERIFY(Core::CorrectedInterval(QStringLiteral("１０")) == QStringLiteral("5"));  // full-width digits are no number
    QVERIFY(Core::CorrectedInterval(QStringLiteral("7")) == std::nullopt);
    QVERIFY(Core::CorrectedInterval(QStringLiteral("-3")) == std::nullopt);
    QCOMPARE(Core::IntervalMinutes(QStringLiteral("12")), 12);
    QCOMPARE(Core::IntervalMinutes(QStringLiteral("x")), 0);
}

void MessagingLogicTest::contactTextsAndTokens() {
    using namespace Core::Contact;
    QCOMPARE(Compose(QStringLiteral("A"), QStringLiteral("B")), QByteArray("AB"));
    QCOMPARE(Compose(QStringLiteral("佐藤："), QStringLiteral("交代です！\n次は\n田中")), sj(u"佐藤：交代です！次は田中"));
    QCOMPARE(Compose(QString(), QString()), QByteArray());
    QCOMPARE(OnTheWire(QByteArray()), sj(u"$改行$"));
    QCOMPARE(OnTheWire("x"), QByteArray("x"));
    QCOMPARE(Received(sj(u"$改行$")), QByteArray());
    QCOMPARE(Received(sj(u"$改行$ ")), sj(u"$改行$ "));  // only the exact token
}

void MessagingLogicTest::broadcastAddressesOfTheFourExamples() {
    using Core::Contact::Broadcast;
    using Core::Contact::BroadcastFor;
    QCOMPARE(BroadcastFor(QStringLiteral("10.1.2.3")).address, QStringLiteral("10.255.255.255"));
    QCOMPARE(BroadcastFor(QStringLiteral("172.16.5.9")).address, QStringLiteral("172.16.255.255"));
    QCOMPARE(BroadcastFor(QStringLiteral("192.168.1.20")).address, QStringLiteral("192.168.1.255"));
    QCOMPARE(BroadcastFor(QStringLiteral("192.168.1.20")).kind, Broadcast::Kind::Address);
    QCOMPARE(BroadcastFor(QStringLiteral("127.0.0.1")).kind, Broadcast::Kind::BadOwnAddress);
    QVERIFY(BroadcastFor(QStringLiteral("127.0.0.1")).address.isEmpty());
    QCOMPARE(BroadcastFor(QString()).kind, Broadcast::Kind::BadOwnAddress);
    QCOMPARE(BroadcastFor(QStringLiteral("読込み失敗")).kind, Broadcast::Kind::BadOwnAddress);
    QCOMPARE(BroadcastFor(QStringLiteral("230.1.2.3")).address, QStringLiteral("230.1.2.255"));
}

void MessagingLogicTest::stampsAndSavedNames() {
    using namespace Core::Contact;
    QCOMPARE(HistoryStamp(QTime(9, 5, 3)), QStringLiteral("[9:5:3] "));
    QCOMPARE(LogLine(QTime(10, 15, 30, 7), QStringLiteral("自分"), QStringLiteral("やあ")),
             QStringLiteral("10:15:30:7,[自分],（連絡）やあ"));
    QCOMPARE(LogLine(QTime(0, 0, 0, 0), QStringLiteral("192.168.1.11"), QString()),
             QStringLiteral("0:0:0:0,[192.168.1.11],（連絡）"));
    QCOMPARE(TimeStampedName(at(8, 10, 15, 30)), QStringLiteral("2026_12_08-10_15_30"));
    QCOMPARE(TimeStampedName(at(8, 9, 5, 3)), QStringLiteral("2026_12_08-9_05_03"));
    QCOMPARE(HistoryFileName(at(8, 10, 15, 30)), QStringLiteral("2026_12_08-10_15_30連絡文.txt"));
    QCOMPARE(HistoryLines(QStringLiteral("a\nいろは"), true), (QList<QByteArray>{"a", sj(u"いろは")}));
    QCOMPARE(HistoryLines(QString(), false), QList<QByteArray>());
    QCOMPARE(HistoryLines(QString(), true), QList<QByteArray>{QByteArray()});  // one empty line
}

// ---------------------------------------------------------------------------------------------

void MessagingLogicTest::noticeLinesWithTheirComments() {
    QList<QByteArray> expected = sjLines({
        u"999:＜番号付き表示設定ファイル２＞",
        u"500:120:ウィンドウの高さ",
        u"501:800:ウィンドの幅",
        u"502:-5:ウィンドの縦位置",
        u"503:30:ウィンドの横位置",
        u"504:本日の会議は１５時からです:表示文字列",
        u"505:false:終了時消さない",
        u"518:true:メインウィンドの上に表示",
        u"519:true:表示後元位置に戻る",
        u"520:false:表示後設定画面に戻らない",
        u"521:true:左端で止める",
        u"522:false:表示高さの自動設定しない",
        u"523:true:戻った時に高さを初期値にする",
        u"524:false:メインウィンドの下ではない",
        u"506:true:loopする",
        u"507:false:前面表示しない",
        u"508:3:ループ",
        u"509:40:スクロール間隔",
        u"510:6:スクロール移動量",
        u"511:ＭＳ Ｐゴシック:表示のフォントの種類",
        u"512:-2147483640:表示のフォントの色",
        u"513:28:表示のフォントサイズ",
        u"514:65535:背景色",
        u"515:fsbold:表示部のフォントスタイル：ｂｏｌｄ",
        u"516:!fsItalic:表示部のフォントスタイル：Ｉｔａｌｉｃ",
        u"517:fsUnderline:表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ",
    });
    QCOMPARE(Notice::Lines(sampleOptions()), expected);

    // The other comment of every switch.
    Notice::Options o = sampleOptions();
    o.hideAtEnd = true;
    o.overTop = false;
    o.moveBack = false;
    o.pagesBack = true;
    o.stopAtLeft = false;
    o.autoHeight = true;
    o.resetHeight = false;
    o.underBottom = true;
    o.look.loop = false;
    o.look.onTop = true;
    o.look.bold = false;
    o.look.italic = true;
    o.look.underline = false;
    const QList<QByteArray> flipped = Notice::Lines(o);
    const QList<QByteArray> want = sjLines({
        u"505:true:終了時消す",
        u"518:false:メインウィンドの上ではない",
        u"519:false:表示後そ元位置に戻らない",
        u"520:true:表示後設定画面に戻る",
        u"521:false:左端で止めない",
        u"522:true:表示高さの自動設定する",
        u"523:false:戻った時に高さを初期値にしない",
        u"524:true:メインウィンドの下に表示",
        u"506:false:loopしない",
        u"507:true:前面表示する",
    });
    QCOMPARE(flipped.mid(6, 10), want);
    QCOMPARE(flipped.mid(23), sjLines({u"515:!fsbold:表示部のフォントスタイル：ｂｏｌｄ",
                                       u"516:fsItalic:表示部のフォントスタイル：Ｉｔａｌｉｃ",
                                       u"517:!fsUnderline:表示部のフォントスタイル：ＵｎｄｅｒＬｉｎｅ"}));
    QCOMPARE(Notice::ShowLine(), sj(u"900:true:表示"));
    QCOMPARE(Notice::StopLine(), sj(u"901:true:停止"));
    QCOMPARE(Notice::End(), sj(u"$end$"));
}

void MessagingLogicTest::noticeLinesWithoutTheLook() {
    Notice::Options o = sampleOptions();
    o.sendLook = false;
    const QList<QByteArray> lines = Notice::Lines(o);
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines.last(), sj(u"524:false:メインウィンドの下ではない"));
    for (const QByteArray& l : lines) {
        const int key = l.split(':').at(0).toInt();
        QVERIFY2(key < 506 || key > 517, l.constData());
    }
}

void MessagingLogicTest::followLinesForTheContinuousSend() {
    QCOMPARE(Notice::FollowLines(sampleOptions()), sjLines({
                                                       u"999:＜番号付き表示設定ファイル２＞",
                                                       u"518:false:メインウィンドの上ではない",
                                                       u"522:false:表示高さの自動設定しない",
                                                       u"524:false:メインウィンドの下ではない",
                                                       u"500:120:ウィンドウの高さ",
                                                       u"501:800:ウィンドの幅",
                                                       u"502:-5:ウィンドの縦位置",
                                                       u"503:30:ウィンドの横位置",
                                                       u"900:true:表示",
                                                   }));
}

void MessagingLogicTest::commaLineBothWays() {
    const Notice::Options o = sampleOptions();
    const QByteArray line = Notice::CommaLine(o);
    QCOMPARE(line, sj(u"本日の会議は１５時からです,500:120,501:800,502:-5,503:30,505:false,518:true,519:true,"
                      u"520:false,521:true,522:false,523:true,524:false,506:true,507:false,508:3,509:40,510:6,"
                      u"511:ＭＳ Ｐゴシック,512:-2147483640,513:28,514:65535,515:fsbold,516:!fsItalic,"
                      u"517:fsUnderline"));
    Notice::Options noLook = o;
    noLook.sendLook = false;
    QVERIFY(Notice::CommaLine(noLook).endsWith("524:false"));

    const QList<QByteArray> items = Notice::CommaLineItems(line);
    QCOMPARE(items.first(), sj(u"504:本日の会議は１５時からです"));
    QCOMPARE(items.at(1), QByteArray("500:120"));
    const Notice::Plan p = Notice::PlanCommaLine(line);
    QVERIFY(p.headerOk);
    QCOMPARE(p.end, Notice::Plan::End::Complete);
    QCOMPARE(p.items.size(), 25);
    auto value = [&p](int key) {
        for (const auto& i : p.items)
            if (i.key == key) return i.value;
        return QByteArray("<none>");
    };
    QCOMPARE(value(504), o.text);
    QCOMPARE(value(502), QByteArray("-5"));
    QCOMPARE(value(511), o.look.fontName);
    QCOMPARE(value(515), QByteArray("fsbold"));
    // Read back, the given geometry is text: a field that holds no number still travels.
    const Notice::Plan words = Notice::PlanCommaLine(sj(u"お知らせ,500:abc,501:640"));
    QCOMPARE(words.end, Notice::Plan::End::Complete);
    QCOMPARE(words.items.size(), 3);
    // A text with colons keeps them in the comma line's form too.
    QCOMPARE(Notice::PlanCommaLine(sj(u"開始 10:30,500:100")).items.first().value, sj(u"開始 10:30"));
}

void MessagingLogicTest::thousandByteTextTravelsUnchanged() {
    Notice::Options o = sampleOptions();
    QByteArray text;
    for (int i = 0; i < 499; ++i) text += sj(u"あ");
    text += "Z:";  // 1000 bytes, a colon among them
    QCOMPARE(text.size(), 1000);
    o.text = text;
    const QList<QByteArray> lines = Notice::Lines(o);
    QCOMPARE(lines.at(5).size(), 1015);
    QVERIFY(lines.at(5).size() <= Notice::kMaxDatagram);
    QList<QByteArray> batch = lines;
    batch << Notice::ShowLine();
    const Notice::Plan p = Notice::PlanReceived(batch, false);
    QCOMPARE(p.end, Notice::Plan::End::Complete);
    QCOMPARE(p.items.at(4).key, 504);
    QCOMPARE(p.items.at(4).value, text);
    QCOMPARE(p.items.last().key, 900);
    // The colon count of the text line: two of the format and the text's own.
    QCOMPARE(Notice::ColonCount(lines.at(5)), 3);
}

void MessagingLogicTest::receivedBatchWithoutHeaderAppliesNothing() {
    QList<QByteArray> lines = Notice::Lines(sampleOptions());
    lines << Notice::ShowLine();
    QList<QByteArray> headless = lines.mid(1);
    Notice::Plan p = Notice::PlanReceived(headless, false);
    QVERIFY(!p.headerOk);
    QVERIFY(p.items.isEmpty());
    headless.prepend(sj(u"999:＜番号付き表示設定ファイル１＞"));  // another version
    QVERIFY(!Notice::PlanReceived(headless, false).headerOk);
    QVERIFY(!Notice::PlanReceived({}, false).headerOk);
    p = Notice::PlanReceived({Notice::Header()}, false);
    QVERIFY(p.headerOk);
    QVERIFY(p.items.isEmpty());
    // Unknown keys are passed over, and "900"/"901" act only with "true".
    p = Notice::PlanReceived({Notice::Header(), "123:4:x", "600:1", sj(u"900:false:表示"), sj(u"901:TRUE:停止"),
                              sj(u"0901:true:停止")},
                             false);
    QCOMPARE(p.items.size(), 1);
    QCOMPARE(p.items[0].key, 901);
}

void MessagingLogicTest::receivedBatchWithSettingsOff() {
    QList<QByteArray> lines = Notice::Lines(sampleOptions());
    lines << Notice::ShowLine() << Notice::StopLine();
    const Notice::Plan p = Notice::PlanReceived(lines, true);
    QCOMPARE(p.items.size(), 3);
    QCOMPARE(p.items[0].key, 504);
    QCOMPARE(p.items[0].value, sampleOptions().text);
    QCOMPARE(p.items[1].key, 900);
    QCOMPARE(p.items[2].key, 901);
    const Notice::Plan all = Notice::PlanReceived(lines, false);
    QCOMPARE(all.items.size(), 27);
    QCOMPARE(all.items[0].key, 500);
    QCOMPARE(all.items[0].value, QByteArray("120"));
}

void MessagingLogicTest::tooManyColonsEndsTheApplying() {
    const QByteArray nine = sj(u"504:a:b:c:d:e:f:g:h:表示文字列");  // nine colons: still applied
    const QByteArray ten = sj(u"504:a:b:c:d:e:f:g:h:i:表示文字列");
    QCOMPARE(Notice::ColonCount(nine), 9);
    QCOMPARE(Notice::ColonCount(ten), 10);
    Notice::Plan p = Notice::PlanReceived({Notice::Header(), "500:90:x", nine, "501:700:x"}, false);
    QCOMPARE(p.end, Notice::Plan::End::Complete);
    QCOMPARE(p.items.size(), 3);
    QCOMPARE(p.items[1].value, QByteArray("a:b:c:d:e:f:g:h"));
    // A sender finds such a line before it sends anything.
    QCOMPARE(Notice::FirstLineOverColons({Notice::Header(), "500:90:x", nine, Notice::ShowLine()}), -1);
    QCOMPARE(Notice::FirstLineOverColons({Notice::Header(), "500:90:x", ten, Notice::ShowLine()}), 2);
    QCOMPARE(Notice::FirstLineOverColons({ten, ten}), 0);
    QCOMPARE(Notice::FirstLineOverColons({}), -1);
    p = Notice::PlanReceived({Notice::Header(), "500:90:x", ten, "501:700:x", Notice::ShowLine()}, false);
    QCOMPARE(p.end, Notice::Plan::End::TooManyColons);
    QCOMPARE(p.stoppedAt, ten);
    QCOMPARE(p.items.size(), 1);
    QCOMPARE(p.items[0].key, 500);
    // Also with only the text received.
    p = Notice::PlanReceived({Notice::Header(), ten, Notice::ShowLine()}, true);
    QCOMPARE(p.end, Notice::Plan::End::TooManyColons);
    QVERIFY(p.items.isEmpty());
}

void MessagingLogicTest::nonNumbersEndTheApplying() {
    for (const QByteArray& bad : {QByteArray("500:abc:x"), QByteArray("509::x"), QByteArray("512:0x10:x"),
                                  QByteArray("513: 12:x"), QByteArray("abc:1:x"), QByteArray()}) {
        const Notice::Plan p =
            Notice::PlanReceived({Notice::Header(), sj(u"504:前:表示文字列"), bad, Notice::ShowLine()}, false);
        QCOMPARE(p.end, Notice::Plan::End::NotANumber);
        QCOMPARE(p.stoppedAt, bad);
        QCOMPARE(p.items.size(), 1);
        QCOMPARE(p.items[0].key, 504);
    }
    // Text, font name, switches and styles take any value.
    const Notice::Plan ok = Notice::PlanReceived(
        {Notice::Header(), "511:Noto:x", "505:yes:x", "515:FSBOLD:x", "525:abc:x"}, false);
    QCOMPARE(ok.end, Notice::Plan::End::Complete);
    QCOMPARE(ok.items.size(), 3);  // 525 is a settings-file key the notice does not carry
    QVERIFY(Notice::IsNumeric(500, false));
    QVERIFY(!Notice::IsNumeric(500, true));
    QVERIFY(Notice::IsNumeric(514, true));
    QVERIFY(!Notice::IsNumeric(504, false));
}

void MessagingLogicTest::collectorGathersUntilEnd() {
    Notice::Collector c;
    QVERIFY(!c.add(Notice::Header()));
    QVERIFY(!c.add("500:1:x"));
    const auto batch = c.add(Notice::End());
    QVERIFY(batch);
    QCOMPARE(*batch, (QList<QByteArray>{Notice::Header(), "500:1:x"}));
    QVERIFY(c.lines().isEmpty());
    const auto empty = c.add(Notice::End());
    QVERIFY(empty && empty->isEmpty());
    // The buffer holds 64 KB; lines past it are dropped, not the buffer.
    const QByteArray big(1000, 'x');
    for (int i = 0; i < 70; ++i) c.add(big);
    QCOMPARE(c.lines().size(), 65);
    QVERIFY(c.add(Notice::End())->size() == 65);
    QVERIFY(!c.add("$END$"));  // only the exact token ends a batch
    c.clear();
    QVERIFY(c.lines().isEmpty());
}

// The notice lines share words with the numbered settings file; they must stay the same.
void MessagingLogicTest::wordsMatchTheSettingsFile() {
    QCOMPARE(Notice::Header(), Settings::headerLine());
    Notice::Options o = sampleOptions();
    for (bool on : {true, false}) {
        o.look.bold = o.look.italic = o.look.underline = on;
        const QList<QByteArray> lines = Notice::Lines(o);
        QCOMPARE(lines.at(23).split(':').at(1), Settings::fontStyleWord(Settings::FontStyle::Bold, on));
        QCOMPARE(lines.at(24).split(':').at(1), Settings::fontStyleWord(Settings::FontStyle::Italic, on));
        QCOMPARE(lines.at(25).split(':').at(1), Settings::fontStyleWord(Settings::FontStyle::Underline, on));
        QCOMPARE(lines.at(14).split(':').at(1), Settings::trueFalse(o.look.loop));
    }
    QCOMPARE(Notice::ShowLine(), Settings::recordLine(Notice::Show, "true", Cp932::encode(u"表示")));
}

// ---------------------------------------------------------------------------------------------

void MessagingLogicTest::passRunsUntilTheTextHasLeft() {
    TickerPasses t;
    t.start(0);
    TickerPasses::Options o{100, 30, 10, false, false, 0};
    QList<int> xs;
    TickerPasses::Result r;
    while ((r = t.tick(o)).step == TickerPasses::Step::Draw) xs << r.x;
    // From the right edge until the text and 20 pixels more have left the strip.
    QCOMPARE(xs.first(), 100);
    QCOMPARE(xs.last(), -40);
    QCOMPARE(xs.size(), 15);
    QCOMPARE(r.step, TickerPasses::Step::Ended);
    QCOMPARE(t.offset(), 0);
    // A step of 0 never ends a pass.
    TickerPasses still;
    still.start(0);
    for (int i = 0; i < 1000; ++i) QCOMPARE(still.tick({100, 30, 0, false, false, 0}).x, 100);
}

void MessagingLogicTest::passStopsAtTheLeftEdge() {
    TickerPasses t;
    t.start(0);
    TickerPasses::Options o{100, 30, 7, true, false, 0};
    int last = 0, draws = 0;
    TickerPasses::Result r;
    while ((r = t.tick(o)).step == TickerPasses::Step::Draw) {
        last = r.x;
        ++draws;
    }
    QVERIFY(last > 0 && last <= 7);  // the last position before the left edge
    QCOMPARE(draws, 15);
    QCOMPARE(r.step, TickerPasses::Step::Ended);
}

void MessagingLogicTest::repetitions() {
    auto passesUntilEnd = [](TickerPasses& t, const TickerPasses::Options& o, int maxPasses) {
        int passes = 1;
        for (int i = 0; i < 100000; ++i) {
            const auto r = t.tick(o);
            if (r.step == TickerPasses::Step::NextPass && ++passes > maxPasses) return -1;
            if (r.step == TickerPasses::Step::Ended) return passes;
        }
        return -2;
    };
    TickerPasses t;
    TickerPasses::Options o{50, 10, 10, false, true, 3};
    t.start(3);
    QCOMPARE(passesUntilEnd(t, o, 10), 3);
    QCOMPARE(t.remaining(), 3);  // reloaded from the field
    QCOMPARE(passesUntilEnd(t, o, 10), 3);
    o.loops = 0;
    t.start(0);
    QCOMPARE(passesUntilEnd(t, o, 50), -1);  // endless
    o.repeat = false;
    o.loops = 3;
    t.start(3);
    QCOMPARE(passesUntilEnd(t, o, 10), 1);
    o.repeat = true;
    o.loops = 1;
    t.start(1);
    QCOMPARE(passesUntilEnd(t, o, 10), 1);
}

void MessagingLogicTest::stripDrawsTheTextWhereAsked() {
    Core::TickerStrip s;
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(40);
    s.setFont(f);
    s.setText(QStringLiteral("お知らせ■■"));
    s.setColours(Qt::black, Qt::white);
    const int w = s.textWidth();
    QVERIFY2(w > 100, qPrintable(QString::number(w)));
    QImage pic(600, 60, QImage::Format_RGB32);
    auto darkColumns = [&pic] {
        int first = -1, last = -1;
        for (int x = 0; x < pic.width(); ++x)
            for (int y = 0; y < pic.height(); ++y)
                if (qGray(pic.pixel(x, y)) < 128) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return std::pair{first, last};
    };
    s.draw(pic, 200);
    auto [first, last] = darkColumns();
    QVERIFY2(first >= 200 && first < 215, qPrintable(QString::number(first)));
    QVERIFY2(last <= 200 + w && last > 200 + w - 25, qPrintable(QString::number(last)));
    QCOMPARE(QColor(pic.pixel(100, 30)), QColor(Qt::white));
    // Partly out on the left: only what is in the strip; wholly out: the background alone.
    s.draw(pic, -w + 30);
    std::tie(first, last) = darkColumns();
    QVERIFY(first >= 0 && last < 30);
    s.draw(pic, 600);
    QCOMPARE(darkColumns().first, -1);
    s.setColours(Qt::black, QColor(0, 0, 255));
    s.fill(pic);
    QCOMPARE(QColor(pic.pixel(0, 0)), QColor(0, 0, 255));
    // A new text is laid out again.
    s.setText(QStringLiteral("あ"));
    QVERIFY(s.textWidth() < w / 3);
}

void MessagingLogicTest::showPlacement() {
    const QRect display(100, 200, 800, 600);
    const NoticeBox pages{10, 20, 640, 350};
    Place::ShowOptions o;  // auto height, over the top, 36 points
    Place::Shown s = Place::Show(pages, true, o, display);
    QCOMPARE(s.remembered, (NoticeBox{10, 20, 640, 99}));  // trunc(36 × 1.29 + 8 + 45)
    QCOMPARE(s.box, (NoticeBox{100, 200, 800, 54}));       // the strip at the display's top
    o.overTop = false;
    o.underBottom = true;
    s = Place::Show(pages, true, o, display);
    QCOMPARE(s.box, (NoticeBox{100, 746, 800, 54}));  // its bottom on the display's bottom
    QCOMPARE(s.box.top + s.box.height, display.bottom() + 1);
    o.underBottom = false;
    o.autoHeight = false;
    s = Place::Show(pages, true, o, display);
    QCOMPARE(s.box, (NoticeBox{10, 65, 640, 305}));  // the strip keeps its place on the screen
    QCOMPARE(s.remembered, pages);
    // Already a strip: the remembered window is the strip with its border again.
    o.autoHeight = true;
    o.overTop = true;
    o.fontPoints = 20;
    s = Place::Show({10, 65, 640, 305}, false, o, display);
    QCOMPARE(s.remembered, (NoticeBox{10, 20, 640, 78}));
    QCOMPARE(s.box, (NoticeBox{100, 200, 800, 33}));  // trunc(20 × 1.29 + 8)
}

void MessagingLogicTest::endPlacement() {
    const NoticeBox strip{100, 200, 800, 54};
    const NoticeBox remembered{10, 20, 640, 99};
    Place::EndOptions o;  // hide, pages back, move back, reset height
    Place::Ended e = Place::End(strip, false, remembered, o);
    QVERIFY(e.hidden);
    QVERIFY(e.pages);
    QCOMPARE(e.box, (NoticeBox{10, 20, 640, Place::kDefaultHeight}));  // the height it was made with
    QCOMPARE(Place::kDefaultHeight, 400);
    o.resetHeight = false;
    e = Place::End(strip, false, remembered, o);
    QCOMPARE(e.box, remembered);
    // Pages shown again never squeezed below what they need, whatever height they come back with.
    o.pagesHeight = 340;
    QCOMPARE(Place::End(strip, false, remembered, o).box, (NoticeBox{10, 20, 640, 340}));
    o.resetHeight = true;
    o.pagesHeight = 450;
    QCOMPARE(Place::End(strip, false, remembered, o).box.height, 450);
    o.pagesBack = false;  // still a strip: its own height
    QCOMPARE(Place::End(strip, false, remembered, o).box.height, 54);
    o.pagesBack = true;
    o.resetHeight = false;
    o.pagesHeight = 0;
    o.pagesBack = false;  // back to the place, still a strip
    e = Place::End(strip, false, remembered, o);
    QVERIFY(!e.pages);
    QCOMPARE(e.box, (NoticeBox{10, 65, 640, 54}));
    o.moveBack = false;
    o.pagesBack = true;  // the pages over the strip where it is
    o.hide = false;
    e = Place::End(strip, false, remembered, o);
    QVERIFY(e.pages && !e.hidden);
    QCOMPARE(e.box, (NoticeBox{100, 155, 800, 99}));
    e = Place::End({100, 20, 800, 54}, false, remembered, o);
    QCOMPARE(e.box.top, 0);  // never above the screen
    o.pagesBack = false;
    e = Place::End(strip, false, remembered, o);
    QCOMPARE(e.box, strip);  // a ticker that stays where it stopped
    QVERIFY(!e.pages);
    // With the pages already shown nothing moves.
    o = {};
    e = Place::End({10, 20, 640, 350}, true, remembered, o);
    QCOMPARE(e.box, (NoticeBox{10, 20, 640, 350}));
    QVERIFY(e.hidden && e.pages);
}

void MessagingLogicTest::f1Placement() {
    QCOMPARE(Place::F1({10, 20, 640, 350}, true), (NoticeBox{10, 65, 640, 305}));
    QCOMPARE(Place::F1({10, 65, 640, 305}, false, 300), (NoticeBox{10, 20, 640, 350}));
    QCOMPARE(Place::F1({10, 30, 640, 54}, false), (NoticeBox{10, 0, 640, 99}));
    // Back from an automatic-height strip the pages take the height they need, not 54 + 45.
    QCOMPARE(Place::F1({10, 30, 640, 54}, false, 340), (NoticeBox{10, 0, 640, 340}));
    QCOMPARE(Place::Remembered({0, 0, 640, 350}), (NoticeBox{0, -45, 640, 395}));
}

QTEST_MAIN(MessagingLogicTest)
#include "test_messaging.moc"
