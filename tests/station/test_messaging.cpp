// How the team talks, through the windows of whole stations on one LAN: the contact window's chat,
// broadcast, signal colour, scheduled notices and saved history; the notice window's notices with
// their receive options, the sibling forward, the ticker over the caption display, its passes, end
// actions, F1 and mouse, the comma-separated line, bad input; the settings of both windows.
#include "support/lan.h"

#include "ui/canvas.h"
#include "ui/text_pane.h"
#include "ui/updown.h"
#include "ui/updown.h"
#include "net/datagram_endpoint.h"
#include "net/scramble.h"
#include "settings/line_file.h"
#include "settings/values.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTest>

using namespace Testing;

namespace {

const QString kSelfTag = QStringLiteral(",[自分],（連絡）");

QStringList historyOf(const TestStation& s) {
    if (s.main->contactWindow()->historyLineCount() == 0) return {};
    return Testing::control<QTextEdit>(*s.main->contactWindow(), "RichEdit2")->toPlainText().split(u'\n');
}

QStringList logOf(const TestStation& s) { return Testing::control<QTextEdit>(*s.main, "RichEdit3")->toPlainText().split(u'\n', Qt::SkipEmptyParts); }

// Lines of the explanation page from a tag on (the time before it varies).
QStringList taggedLog(const TestStation& s) {
    QStringList out;
    for (const QString& l : logOf(s)) out << l.section(u',', 1);
    return out;
}

void pressEnter(TestStation& s) { QTest::keyClick(Testing::control<TextPane>(*s.main->contactWindow(), "RichEdit1"), Qt::Key_Return); }

// A receiver that shows notices, as a station with "テロップを受信しない" unchecked.
void listens(TestStation& s) { Testing::control<QCheckBox>(*s.main->noticeWindow(), "CheckBox12")->setChecked(false); }

// Runs the ticker tick by tick until its clock stops (or `limit` ticks); returns the passes seen.
int runTicker(TForm15& w, int limit = 100000) {
    int passes = 1;
    std::optional<int> last;
    for (int i = 0; i < limit && Testing::control<QTimer>(w, "Timer1")->isActive(); ++i) {
        w.Timer1Timer();
        if (w.shownAt() && last && *w.shownAt() > *last) ++passes;  // back at the right edge
        last = w.shownAt();
    }
    return passes;
}

void send(TestStation& s, const QString& text, Net::MemoryNetwork& net) {
    Testing::control<QLineEdit>(*s.main->noticeWindow(), "Edit1")->setText(text);
    s.main->noticeWindow()->SendNotice();
    net.deliverAll();
}

QList<QByteArray> payloads(const QList<Net::MemoryNetwork::Datagram>& ds) {
    QList<QByteArray> out;
    for (const auto& d : ds) out << d.payload;
    return out;
}

// The scrambling of the traffic, switched on for the notice port of one station.
void scrambleNotices(TestStation& s) {
    const QByteArray password = "pass";
    const int key = Net::DeriveKey(password);
    s.main->outbox().scramble = [password, key](const QByteArray& plain) { return Net::Scramble(plain, password, key); };
    Testing::control<Net::DatagramEndpoint>(*s.main->noticeWindow(), "NMUDP1")->unscramble = [password, key](const QByteArray& t) { return Net::Unscramble(t, password, key); };
}

void mouseMove(QWidget* w, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class MessagingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { App::installFontSubstitutions(); }

    // ---- contact ----
    void contactLineArrivesWhole();
    void emptyLineTravelsAsToken();
    void signalColourForTwoSeconds();
    void timeStampsAndLogLines();
    void broadcastToTheClassfulNetwork();
    void scheduleAdvanceAndNotice();
    void scheduleOverMidnight();
    void scheduledNoticeWithBroadcastAndLanOff();
    void intervalFieldAndClosing();
    void emptiedIntervalSendsNothing();
    void contactLineTooLongIsRefused();
    void contactBadInput();
    void historySavedByHandAndAtExit();
    void splittersKeepPanelsVisible();

    // ---- notices ----
    void noticeTravelsAndRunsOverTheDisplay();
    void receiverWithSettingsOffKeepsItsLook();
    void receiverWithNoticesOffStillForwards();
    void threePassesThenTheEndActions();
    void leftEdgeStop();
    void stopSendEmptiesTheTexts();
    void longTextsTravelOrAreRefused();
    void noticeBadInput();
    void continuousSendFollowsTheGeometry();
    void f1AndMouseWhileRunning();
    void commaLineBothWays();
    void smallHandlers();

    // ---- settings ----
    void settingsTravelThroughTheFile();
    void defaults();
};

// ---------------------------------------------------------------------------------------------
// Contact

void MessagingTest::contactLineArrivesWhole() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    Testing::control<QLineEdit>(a, "Edit1")->setText(QStringLiteral("A"));
    auto* richEdit1 = Testing::control<TextPane>(a, "RichEdit1");
    richEdit1->setPlainText(QStringLiteral("B"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    const auto sent = p.lan.net.sentTo(6727);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].payload, QByteArray("AB"));
    QCOMPARE(sent[0].to, QStringLiteral("192.168.1.11"));
    QCOMPARE(historyOf(p.b), QStringList{"AB"});
    QCOMPARE(historyOf(p.a), QStringList{"AB"});
    QVERIFY(richEdit1->toPlainText().isEmpty());
    // Japanese text and a line in two parts (Ctrl+Enter in the pane) travel as one line.
    Testing::control<QLineEdit>(a, "Edit1")->setText(QStringLiteral("佐藤："));
    richEdit1->setPlainText(QStringLiteral("次は\n田中さん"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).last().payload, sj(QStringLiteral("佐藤：次は田中さん")));
    QCOMPARE(historyOf(p.b).last(), QStringLiteral("佐藤：次は田中さん"));
    // Without a mate nothing is sent, and the own history still has the line.
    Testing::control<QCheckBox>(*p.a.main, "CheckBox1")->setChecked(false);
    p.lan.net.clearSent();
    richEdit1->setPlainText(QStringLiteral("独り言"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    QCOMPARE(historyOf(p.a).last(), QStringLiteral("佐藤：独り言"));
}

void MessagingTest::emptyLineTravelsAsToken() {
    PairedLan p;
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).value(0).payload, sj(QStringLiteral("$改行$")));
    QCOMPARE(p.b.main->contactWindow()->historyLineCount(), 1);
    QCOMPARE(historyOf(p.b), QStringList{QString()});
    QCOMPARE(p.a.main->contactWindow()->historyLineCount(), 1);
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.b.main->contactWindow()->historyLineCount(), 2);
}

void MessagingTest::signalColourForTwoSeconds() {
    PairedLan p;
    TForm6& b = *p.b.main->contactWindow();
    QVERIFY(!b.signalling());
    auto* richEdit2 = Testing::control<QTextEdit>(b, "RichEdit2");
    QCOMPARE(richEdit2->palette().color(QPalette::Base), QColor(Qt::white));
    Testing::control<TextPane>(*p.a.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("見てください"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QVERIFY(b.signalling());
    QCOMPARE(Testing::control<QTimer>(b, "Timer1")->interval(), 2000);
    QCOMPARE(richEdit2->palette().color(QPalette::Base), QColor(Qt::red));
    auto* bRichEdit1 = Testing::control<TextPane>(b, "RichEdit1");
    QCOMPARE(bRichEdit1->palette().color(QPalette::Base), QColor(Qt::red));
    QVERIFY(!p.a.main->contactWindow()->signalling());  // the sender is not signalled
    b.Timer1Timer();
    QVERIFY(!b.signalling());
    QCOMPARE(richEdit2->palette().color(QPalette::Base), QColor(Qt::white));
    // "受信時背景色" shows the new colour at once.
    p.b.dialogs.colours.push_back(QColor(0, 128, 0));
    Testing::control<QPushButton>(b, "Button4")->click();
    QVERIFY(b.signalling());
    QCOMPARE(richEdit2->palette().color(QPalette::Base), QColor(0, 128, 0));
    b.Timer1Timer();
    p.b.dialogs.colours.push_back(QColor(255, 255, 0));
    Testing::control<QPushButton>(b, "Button3")->click();
    QCOMPARE(bRichEdit1->palette().color(QPalette::Base), QColor(255, 255, 0));
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(30);
    p.b.dialogs.fonts.push_back(f);
    Testing::control<QPushButton>(b, "Button2")->click();
    QCOMPARE(richEdit2->font().pixelSize(), 30);
    QCOMPARE(bRichEdit1->font().pixelSize(), 30);
}

void MessagingTest::timeStampsAndLogLines() {
    PairedLan p;
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);
    Testing::control<QCheckBox>(*p.b.main, "CheckBox32")->setChecked(true);
    Testing::control<QCheckBox>(*p.b.main->contactWindow(), "CheckBox6")->setChecked(true);
    p.a.clock.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3, 40));
    p.b.clock.time = QDateTime(QDate(2026, 12, 8), QTime(9, 5, 4, 2));
    Testing::control<TextPane>(*p.a.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("了解"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(logOf(p.a).last(), QStringLiteral("9:5:3:40,[自分],（連絡）了解"));
    QCOMPARE(logOf(p.b).last(), QStringLiteral("9:5:4:2,[192.168.1.10],（連絡）了解"));
    QCOMPARE(historyOf(p.b), QStringList{"[9:5:4] 了解"});
    QCOMPARE(historyOf(p.a), QStringList{"了解"});  // A shows no stamps
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(false);
    const int before = logOf(p.a).size();
    pressEnter(p.a);
    QCOMPARE(logOf(p.a).size(), before);
}

void MessagingTest::broadcastToTheClassfulNetwork() {
    Lan lan;
    const QStringList own{"10.1.2.3", "172.16.5.9", "192.168.1.20"};
    const QStringList expected{"10.255.255.255", "172.16.255.255", "192.168.1.255"};
    for (const QString& a : own) lan.stations.push_back(std::make_unique<TestStation>(lan.net, a, a));
    TestStation& peer = lan.add(30, "peer");  // in 192.168.1.x
    for (int i = 0; i < 3; ++i) {
        TForm6& w = *lan[i].main->contactWindow();
        Testing::control<QCheckBox>(w, "CheckBox1")->setChecked(true);
        Testing::control<TextPane>(w, "RichEdit1")->setPlainText(QStringLiteral("全員へ"));
        lan.net.clearSent();
        pressEnter(lan[i]);
        lan.net.deliverAll();
        const auto sent = lan.net.sentTo(6727);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].to, expected[i]);
        QCOMPARE(Testing::control<QLineEdit>(w, "Edit71")->text(), expected[i]);
        // The own copy comes back through the network like every other receipt.
        QCOMPARE(historyOf(lan[i]), QStringList{"全員へ"});
        QVERIFY(w.signalling());
    }
    QCOMPARE(historyOf(peer), QStringList{"全員へ"});  // from 192.168.1.20 only
    // An own address that cannot be used: a message, nothing sent.
    TForm6& w = *lan[0].main->contactWindow();
    Testing::control<QLineEdit>(*lan[0].main, "Edit35")->blockSignals(true);  // the own-address guard would rewrite it
    Testing::control<QLineEdit>(*lan[0].main, "Edit35")->setText(QStringLiteral("127.0.0.1"));
    Testing::control<QLineEdit>(*lan[0].main, "Edit35")->blockSignals(false);
    lan.net.clearSent();
    pressEnter(lan[0]);
    lan.net.deliverAll();
    QVERIFY(lan.net.sentTo(6727).isEmpty());
    QCOMPARE(lan[0].messages.shown.last(), QStringLiteral("自分のＩＰアドレスが間違っています。"));
    Testing::control<QCheckBox>(*lan[0].main, "CheckBox19")->setChecked(false);
    const int shown = lan[0].messages.shown.size();
    pressEnter(lan[0]);
    QCOMPARE(lan[0].messages.shown.size(), shown);
    QVERIFY(Testing::control<QCheckBox>(w, "CheckBox1")->isChecked());
}

void MessagingTest::scheduleAdvanceAndNotice() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    const QDateTime t0(QDate(2026, 12, 8), QTime(10, 0, 0));
    p.a.clock.time = t0;
    Testing::control<QLineEdit>(a, "Edit2")->setText(QStringLiteral("1"));
    Testing::control<QCheckBox>(a, "CheckBox4")->setChecked(true);  // "ＬＡＮに流す"
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);
    auto* timer2 = Testing::control<QTimer>(a, "Timer2");
    QVERIFY(timer2->isActive());
    QCOMPARE(timer2->interval(), 1000);
    auto* label3 = Testing::control<QLabel>(a, "Label3");
    QCOMPARE(label3->text(), QStringLiteral("定時連絡：＜停止中＞"));
    p.a.clock.time = t0.addSecs(29);
    a.Timer2Timer();
    QCOMPARE(label3->text(), QStringLiteral("残り時間：　0分　31秒"));
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    p.a.clock.time = t0.addSecs(30);
    a.Timer2Timer();
    p.lan.net.deliverAll();
    QCOMPARE(payloads(p.lan.net.sentTo(6727)), QList<QByteArray>{sj(QStringLiteral("３０秒前です。（10時0分30秒）"))});
    QCOMPARE(historyOf(p.b), QStringList{"３０秒前です。（10時0分30秒）"});
    QCOMPARE(historyOf(p.a), QStringList{"３０秒前です。（10時0分30秒）"});
    QVERIFY(a.signalling() && p.b.main->contactWindow()->signalling());
    // What the typist had begun goes out after the notice.
    Testing::control<QLineEdit>(a, "Edit1")->setText(QStringLiteral("佐藤："));
    Testing::control<TextPane>(a, "RichEdit1")->setPlainText(QStringLiteral("途中"));
    p.lan.net.clearSent();
    p.a.clock.time = t0.addSecs(60);
    a.Timer2Timer();
    p.lan.net.deliverAll();
    QCOMPARE(payloads(p.lan.net.sentTo(6727)), QList<QByteArray>{sj(QStringLiteral("佐藤：交代です！途中（10時1分0秒）"))});
    QVERIFY(Testing::control<TextPane>(a, "RichEdit1")->toPlainText().isEmpty());
    QCOMPARE(label3->text(), QStringLiteral("残り時間：　1分　0秒"));  // the full interval again
    // Without the time line and without the advance notice.
    Testing::control<QCheckBox>(a, "CheckBox5")->setChecked(false);
    Testing::control<QCheckBox>(a, "CheckBox3")->setChecked(false);
    Testing::control<QLineEdit>(a, "Edit1")->clear();
    p.lan.net.clearSent();
    for (int s = 61; s <= 120; ++s) {
        p.a.clock.time = t0.addSecs(s);
        a.Timer2Timer();
    }
    p.lan.net.deliverAll();
    QCOMPARE(payloads(p.lan.net.sentTo(6727)), QList<QByteArray>{sj(QStringLiteral("交代です！"))});
    // Unchecked: stopped.
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(false);
    QVERIFY(!timer2->isActive());
    QCOMPARE(label3->text(), QStringLiteral("定時連絡：＜停止中＞"));
}

void MessagingTest::scheduleOverMidnight() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    Testing::control<QCheckBox>(a, "CheckBox4")->setChecked(true);
    Testing::control<QCheckBox>(a, "CheckBox3")->setChecked(false);
    Testing::control<QCheckBox>(a, "CheckBox5")->setChecked(false);
    p.a.clock.time = QDateTime(QDate(2026, 12, 8), QTime(23, 58, 0));
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);  // five minutes
    p.a.clock.time = QDateTime(QDate(2026, 12, 9), QTime(0, 2, 59));
    a.Timer2Timer();
    QCOMPARE(Testing::control<QLabel>(a, "Label3")->text(), QStringLiteral("残り時間：　0分　1秒"));
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    p.a.clock.time = QDateTime(QDate(2026, 12, 9), QTime(0, 3, 0));
    a.Timer2Timer();
    p.lan.net.deliverAll();
    QCOMPARE(payloads(p.lan.net.sentTo(6727)), QList<QByteArray>{sj(QStringLiteral("交代です！"))});
}

void MessagingTest::scheduledNoticeWithBroadcastAndLanOff() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    Testing::control<QCheckBox>(a, "CheckBox1")->setChecked(true);   // "全員送信"
    Testing::control<QCheckBox>(a, "CheckBox4")->setChecked(false);  // "ＬＡＮに流す"
    Testing::control<QLineEdit>(a, "Edit2")->setText(QStringLiteral("1"));
    const QDateTime t0(QDate(2026, 12, 8), QTime(11, 0, 0));
    p.a.clock.time = t0;
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);
    Testing::control<TextPane>(a, "RichEdit1")->setPlainText(QStringLiteral("書きかけ"));
    for (int s : {30, 60}) {
        p.a.clock.time = t0.addSecs(s);
        a.Timer2Timer();
    }
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    QCOMPARE(a.historyLineCount(), 0);
    QCOMPARE(p.b.main->contactWindow()->historyLineCount(), 0);
    QVERIFY(Testing::control<TextPane>(a, "RichEdit1")->toPlainText().isEmpty());
    QVERIFY(a.signalling());  // the notice still signals on its own station
}

void MessagingTest::intervalFieldAndClosing() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    auto* edit2 = Testing::control<QLineEdit>(a, "Edit2");
    edit2->setText(QString());
    QCOMPARE(edit2->text(), QStringLiteral("0"));
    edit2->setText(QStringLiteral("abc"));
    QCOMPARE(edit2->text(), QStringLiteral("5"));
    QCOMPARE(Testing::control<UpDown>(a, "UpDown1")->position(), 5);
    Testing::control<UpDown>(a, "UpDown1")->step(+1);
    QCOMPARE(edit2->text(), QStringLiteral("6"));
    // A new interval while running counts from now.
    const QDateTime t0(QDate(2026, 12, 8), QTime(14, 0, 0));
    p.a.clock.time = t0;
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);
    QCOMPARE(a.schedule().next(), t0.addSecs(360));
    p.a.clock.time = t0.addSecs(100);
    edit2->setText(QStringLiteral("2"));
    QCOMPARE(a.schedule().next(), t0.addSecs(220));
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    a.close();  // closing the window stops the schedule
    QVERIFY(!Testing::control<QCheckBox>(a, "CheckBox2")->isChecked());
    QVERIFY(!Testing::control<QTimer>(a, "Timer2")->isActive());
}

// The typist deletes the interval's digit to type another while the schedule runs.
void MessagingTest::emptiedIntervalSendsNothing() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    const QDateTime t0(QDate(2026, 12, 8), QTime(16, 0, 0));
    p.a.clock.time = t0;
    Testing::control<QCheckBox>(a, "CheckBox4")->setChecked(true);  // "ＬＡＮに流す"
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);  // five minutes
    Testing::control<QLineEdit>(a, "Edit2")->setFocus();
    Testing::control<QLineEdit>(a, "Edit2")->end(false);
    QTest::keyClick(Testing::control<QLineEdit>(a, "Edit2"), Qt::Key_Backspace);
    QCOMPARE(Testing::control<QLineEdit>(a, "Edit2")->text(), QStringLiteral("0"));
    for (int s = 1; s <= 90; ++s) {
        p.a.clock.time = t0.addSecs(s);
        a.Timer2Timer();
    }
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    QCOMPARE(a.historyLineCount(), 0);
    QCOMPARE(Testing::control<QLabel>(a, "Label3")->text(), QStringLiteral("定時連絡：＜停止中＞"));
    QVERIFY(Testing::control<QCheckBox>(a, "CheckBox2")->isChecked());  // the schedule waits for its new interval
    // The new digit counts from the moment it is typed.
    Testing::control<QLineEdit>(a, "Edit2")->selectAll();
    QTest::keyClicks(Testing::control<QLineEdit>(a, "Edit2"), QStringLiteral("1"));
    QCOMPARE(a.schedule().next(), t0.addSecs(150));
    p.a.clock.time = t0.addSecs(120);
    a.Timer2Timer();
    p.a.clock.time = t0.addSecs(150);
    a.Timer2Timer();
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).size(), 2);  // the advance notice, then the notice
}

// A line that does not fit one datagram would be dropped by every receiver: it is refused, said,
// kept in the pane and not shown in the sender's history as if it had gone.
void MessagingTest::contactLineTooLongIsRefused() {
    PairedLan p;
    TForm6& a = *p.a.main->contactWindow();
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);  // "記録を説明ページに保存"
    Testing::control<QLineEdit>(a, "Edit1")->setText(QString(900, u'A'));
    auto* richEdit1 = Testing::control<TextPane>(a, "RichEdit1");
    richEdit1->setPlainText(QString(124, u'b'));  // 1024 bytes with the name
    const qsizetype shown = p.a.messages.shown.size();
    const QStringList logBefore = logOf(p.a);
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QVERIFY(p.lan.net.sentTo(6727).isEmpty());
    QCOMPARE(p.a.messages.shown.size(), shown + 1);
    QVERIFY(p.a.messages.shown.last().startsWith(QStringLiteral("連絡文が長すぎるため、送信しませんでした。")));
    QVERIFY(p.a.messages.shown.last().contains(QStringLiteral("1024バイト")));
    QCOMPARE(a.historyLineCount(), 0);
    QCOMPARE(logOf(p.a), logBefore);
    QCOMPARE(richEdit1->toPlainText(), QString(124, u'b'));
    // One byte less fits, and goes.
    richEdit1->moveCursor(QTextCursor::End);
    QTest::keyClick(richEdit1, Qt::Key_Backspace);
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).size(), 1);
    QCOMPARE(p.lan.net.sentTo(6727).first().payload.size(), 1023);
    QCOMPARE(historyOf(p.b).size(), 1);
    QCOMPARE(a.historyLineCount(), 1);
    QVERIFY(richEdit1->toPlainText().isEmpty());
    // "全員送信" has the same limit.
    Testing::control<QCheckBox>(a, "CheckBox1")->setChecked(true);
    richEdit1->setPlainText(QString(124, u'c'));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).size(), 1);
    QCOMPARE(richEdit1->toPlainText(), QString(124, u'c'));
    Testing::control<QCheckBox>(a, "CheckBox1")->setChecked(false);
    // With scrambling on, the scrambled datagram is what must fit.
    scrambleNotices(p.a);
    Testing::control<QLineEdit>(a, "Edit1")->setText(QString(700, u'S'));
    richEdit1->setPlainText(QString(100, u's'));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).size(), 1);
    QCOMPARE(richEdit1->toPlainText(), QString(100, u's'));
    p.a.main->outbox().scramble = {};
    // A scheduled notice that would not fit leaves the pane as the typist had it.
    Testing::control<QLineEdit>(a, "Edit1")->setText(QString(1000, u'N'));
    richEdit1->setPlainText(QStringLiteral("書きかけ"));
    Testing::control<QCheckBox>(a, "CheckBox4")->setChecked(true);  // "ＬＡＮに流す"
    Testing::control<QLineEdit>(a, "Edit2")->setText(QStringLiteral("1"));
    const QDateTime t0(QDate(2026, 12, 8), QTime(17, 0, 0));
    p.a.clock.time = t0;
    Testing::control<QCheckBox>(a, "CheckBox2")->setChecked(true);
    p.a.clock.time = t0.addSecs(30);
    a.Timer2Timer();
    p.lan.net.deliverAll();
    QCOMPARE(p.lan.net.sentTo(6727).size(), 1);
    QCOMPARE(richEdit1->toPlainText(), QStringLiteral("書きかけ"));
    QCOMPARE(a.historyLineCount(), 1);
}

void MessagingTest::contactBadInput() {
    PairedLan p;
    TForm6& b = *p.b.main->contactWindow();
    p.lan.net.inject("192.168.1.10", 6727, "192.168.1.11", 6727, QByteArray(1024, 'x'));
    p.lan.net.deliverAll();
    QCOMPARE(b.historyLineCount(), 0);
    p.lan.net.inject("192.168.1.10", 6727, "192.168.1.11", 6727, QByteArray(1023, 'y'));
    p.lan.net.deliverAll();
    QCOMPARE(historyOf(p.b), QStringList{QString(1023, u'y')});
    // A NUL ends the text.
    p.lan.net.inject("192.168.1.10", 6727, "192.168.1.11", 6727, QByteArray("ab\0cd", 5));
    p.lan.net.deliverAll();
    QCOMPARE(historyOf(p.b).last(), QStringLiteral("ab"));
    // From the loopback address while the sibling copy is on: dropped.
    Testing::control<QCheckBox>(*p.b.main, "CheckBox60")->setChecked(true);
    p.lan.net.inject("127.0.0.1", 6727, "192.168.1.11", 6727, "loop");
    p.lan.net.deliverAll();
    QCOMPARE(b.historyLineCount(), 2);
    Testing::control<QCheckBox>(*p.b.main, "CheckBox60")->setChecked(false);
    p.lan.net.inject("127.0.0.1", 6727, "192.168.1.11", 6727, "loop");
    p.lan.net.deliverAll();
    QCOMPARE(historyOf(p.b).last(), QStringLiteral("loop"));
}

void MessagingTest::historySavedByHandAndAtExit() {
    PairedLan p;
    TForm6& b = *p.b.main->contactWindow();
    p.b.clock.time = QDateTime(QDate(2026, 12, 8), QTime(15, 4, 5));
    // Nothing to save at exit: no lines, or the switch off.
    auto* checkBox7 = Testing::control<QCheckBox>(b, "CheckBox7");
    checkBox7->setChecked(true);
    QVERIFY(b.SaveHistoryAtExit());
    const QString exitName = p.b.folder.path() + QStringLiteral("/2026_12_08-15_04_05連絡文.txt");
    QVERIFY(!QFile::exists(exitName));
    for (const QString& t : {QStringLiteral("一行目"), QString(), QStringLiteral("三行目")}) {
        Testing::control<TextPane>(*p.a.main->contactWindow(), "RichEdit1")->setPlainText(t);
        pressEnter(p.a);
    }
    p.lan.net.deliverAll();
    checkBox7->setChecked(false);
    QVERIFY(b.SaveHistoryAtExit());
    QVERIFY(!QFile::exists(exitName));
    checkBox7->setChecked(true);
    QVERIFY(p.b.main->SaveContactHistoryAtExit());
    QCOMPARE(Settings::readLines(exitName).value(), (QList<QByteArray>{sj(QStringLiteral("一行目")), "", sj(QStringLiteral("三行目"))}));
    QFile raw(exitName);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().endsWith("\r\n"));
    QCOMPARE(b.historyLineCount(), 3);  // kept
    // By hand: the chosen file, then the history is cleared.
    const QString chosen = p.b.folder.path() + QStringLiteral("/手で保存");
    p.b.dialogs.saveNames.push_back(chosen);
    auto* button1 = Testing::control<QPushButton>(b, "Button1");
    button1->click();
    QCOMPARE(Settings::readLines(chosen + ".txt").value().size(), 3);
    QCOMPARE(b.historyLineCount(), 0);
    // Cancelled: nothing happens.
    Testing::control<TextPane>(*p.a.main->contactWindow(), "RichEdit1")->setPlainText(QStringLiteral("残る"));
    pressEnter(p.a);
    p.lan.net.deliverAll();
    button1->click();
    QCOMPARE(b.historyLineCount(), 1);
    // A file that cannot be written: a message, the history stays.
    p.b.dialogs.saveNames.push_back(p.b.folder.path() + QStringLiteral("/無い/フォルダ.txt"));
    button1->click();
    QVERIFY(p.b.messages.shown.last().startsWith(QStringLiteral("連絡文を保存できませんでした。")));
    QCOMPARE(historyOf(p.b), QStringList{"残る"});
    QString error;
    QFile::remove(exitName);
    QVERIFY(QDir(p.b.folder.path()).mkdir(exitName));  // a folder in the file's way
    QVERIFY(!b.SaveHistoryAtExit(&error));
    QVERIFY(!error.isEmpty());
    p.b.messages.answerYes = true;  // keep the window open
    QVERIFY(!p.b.main->SaveContactHistoryAtExit());
    QVERIFY(logOf(p.b).last().contains(QStringLiteral(",[自分],連絡文を保存できませんでした：")));
}

void MessagingTest::splittersKeepPanelsVisible() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm6& w = *s.main->contactWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* splitter = Testing::control<QSplitter>(w, "Splitter");
    // The settings panel opens with its last row in view.
    QCOMPARE(splitter->sizes().value(0), w.panel3Height());
    auto* lastRow = Testing::control<QCheckBox>(w, "CheckBox7");
    auto* panel3 = Testing::control<QWidget>(w, "Panel3");
    QVERIFY(lastRow->mapTo(panel3, QPoint(0, lastRow->height())).y() <= panel3->height());
    QCOMPARE(splitter->sizes().value(2), 38);
    splitter->widget(0)->setMinimumHeight(2);
    splitter->setSizes({0, 0, 500});
    for (int h : splitter->sizes()) QVERIFY2(h >= 2, qPrintable(QString::number(h)));
    w.setPanel3Height(0);
    QCOMPARE(w.panel3Height(), 2);
    w.setPanel3Height(60);
    w.setPanel1Height(50);
    QCOMPARE(splitter->sizes().value(0), 60);
    QCOMPARE(splitter->sizes().value(2), 50);
    w.resize(300, 400);  // the history takes the new height
    QTRY_COMPARE(splitter->sizes().value(2), 50);
    QCOMPARE(splitter->sizes().value(0), 60);
    w.hide();
}

// ---------------------------------------------------------------------------------------------
// Notices

void MessagingTest::noticeTravelsAndRunsOverTheDisplay() {
    PairedLan p;
    listens(p.b);
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);
    Testing::control<QCheckBox>(*p.b.main, "CheckBox32")->setChecked(true);
    Testing::control<QCheckBox>(*p.a.main, "CheckBox60")->setChecked(true);
    TForm15& a = *p.a.main->noticeWindow();
    TForm15& b = *p.b.main->noticeWindow();
    QFont f = a.tickerFont();
    f.setPixelSize(40);
    a.setTickerFont(f);
    send(p.a, QStringLiteral("休憩は１５時まで"), p.lan.net);
    const QList<QByteArray> expected = [&] {
        QList<QByteArray> l = Core::Notice::Lines(a.options());
        l << Core::Notice::ShowLine() << Core::Notice::End();
        return l;
    }();
    QCOMPARE(payloads(p.lan.net.sentTo(6731)), expected);
    QCOMPARE(p.lan.net.sentTo(6731).first().to, QStringLiteral("192.168.1.11"));
    QCOMPARE(payloads(p.lan.net.sentTo(7931)), expected);  // the sibling display's copy
    QCOMPARE(p.lan.net.sentTo(7931).first().to, QStringLiteral("127.0.0.1"));
    // B shows it over its caption display.
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit1")->text(), QStringLiteral("休憩は１５時まで"));
    QVERIFY(b.isVisible());
    QVERIFY(Testing::control<QTimer>(b, "Timer1")->isActive());
    QCOMPARE(Testing::control<QTimer>(b, "Timer1")->interval(), 50);
    QVERIFY(!b.pagesVisible());
    QVERIFY(Testing::control<QTabWidget>(b, "PageControl1")->isHidden());
    const QRect display = p.b.main->captionDisplayArea();
    QCOMPARE(b.geometry().topLeft(), display.topLeft());
    QCOMPARE(b.width(), display.width());
    QCOMPARE(b.height(), 46);  // trunc(30 pt × 1.29 + 8 + 45) − 45
    QCOMPARE(b.tickerFont().pixelSize(), 40);
    b.Timer1Timer();
    QCOMPARE(b.shownAt(), b.width());
    b.Timer1Timer();
    QCOMPARE(b.shownAt(), b.width() - 3);
    QCOMPARE(Testing::control<Canvas>(b, "Image2")->picture().size(), b.size());
    // The explanation pages.
    QCOMPARE(taggedLog(p.a).last(), QStringLiteral("[自分],（テロップ）休憩は１５時まで"));
    QCOMPARE(taggedLog(p.b).mid(taggedLog(p.b).size() - 2),
             (QStringList{"[192.168.1.10],（テロップ操作受信）", "[受信（上参照）],（テロップ表示）休憩は１５時まで"}));
    // A's own window does not run it.
    QVERIFY(!Testing::control<QTimer>(a, "Timer1")->isActive());
}

void MessagingTest::receiverWithSettingsOffKeepsItsLook() {
    PairedLan p;
    listens(p.b);
    TForm15& a = *p.a.main->noticeWindow();
    TForm15& b = *p.b.main->noticeWindow();
    Testing::control<QCheckBox>(b, "CheckBox13")->setChecked(true);
    QFont f = a.tickerFont();
    f.setPixelSize(20);
    f.setBold(true);
    a.setTickerFont(f);
    Testing::control<QCheckBox>(a, "CheckBox1")->setChecked(true);
    Testing::control<QLineEdit>(a, "Edit2")->setText(QStringLiteral("25"));
    p.a.dialogs.colours.push_back(QColor(0, 0, 255));
    Testing::control<QPushButton>(a, "Button4")->click();
    const QFont before = b.tickerFont();
    const qint32 bg = b.backgroundValue();
    send(p.a, QStringLiteral("設定なし"), p.lan.net);
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit1")->text(), QStringLiteral("設定なし"));
    auto* timer1 = Testing::control<QTimer>(b, "Timer1");
    QVERIFY(timer1->isActive());
    QCOMPARE(b.tickerFont(), before);
    QCOMPARE(b.backgroundValue(), bg);
    QVERIFY(!Testing::control<QCheckBox>(b, "CheckBox1")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit2")->text(), QStringLiteral("50"));
    QCOMPARE(timer1->interval(), 50);
    // With settings received, the look comes along.
    b.StopNotice();
    Testing::control<QCheckBox>(b, "CheckBox13")->setChecked(false);
    send(p.a, QStringLiteral("設定あり"), p.lan.net);
    QCOMPARE(b.tickerFont().pixelSize(), 20);
    QVERIFY(b.tickerFont().bold());
    QCOMPARE(b.backgroundValue(), Settings::fromQColor(QColor(0, 0, 255)));
    QVERIFY(Testing::control<QCheckBox>(b, "CheckBox1")->isChecked());
    QCOMPARE(timer1->interval(), 25);
    QCOMPARE(Testing::control<Canvas>(b, "Image2")->picture().pixelColor(1, 1), QColor(0, 0, 255));
    // Without "この枠内の基本設定も送信する" the look stays home.
    b.StopNotice();
    Testing::control<QCheckBox>(a, "CheckBox7")->setChecked(false);
    f.setPixelSize(60);
    a.setTickerFont(f);
    send(p.a, QStringLiteral("形なし"), p.lan.net);
    QCOMPARE(b.tickerFont().pixelSize(), 20);
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit1")->text(), QStringLiteral("形なし"));
}

void MessagingTest::receiverWithNoticesOffStillForwards() {
    PairedLan p;
    TForm15& b = *p.b.main->noticeWindow();
    QVERIFY(Testing::control<QCheckBox>(b, "CheckBox12")->isChecked());  // not receiving is the design default
    Testing::control<QCheckBox>(*p.b.main, "CheckBox60")->setChecked(true);
    const QString before = Testing::control<QLineEdit>(b, "Edit1")->text();
    send(p.a, QStringLiteral("届かない"), p.lan.net);
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit1")->text(), before);
    QVERIFY(!b.isVisible());
    QVERIFY(b.collector().lines().isEmpty());
    const auto forwarded = p.lan.net.sentTo(7931);
    QCOMPARE(forwarded.size(), p.lan.net.sentTo(6731).size());
    QCOMPARE(payloads(forwarded), payloads(p.lan.net.sentTo(6731)));
    QCOMPARE(forwarded.first().to, QStringLiteral("127.0.0.1"));
    QVERIFY(!Testing::control<QCheckBox>(*p.a.main, "CheckBox60")->isChecked());  // so every copy is B's forward
    // Without the sibling copy nothing is forwarded.
    Testing::control<QCheckBox>(*p.b.main, "CheckBox60")->setChecked(false);
    p.lan.net.clearSent();
    send(p.a, QStringLiteral("また"), p.lan.net);
    QVERIFY(p.lan.net.sentTo(7931).isEmpty());
}

void MessagingTest::threePassesThenTheEndActions() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm15& w = *s.main->noticeWindow();
    w.show();
    const Core::NoticeBox pages = w.box();
    Testing::control<QCheckBox>(w, "CheckBox1")->setChecked(true);
    Testing::control<QLineEdit>(w, "Edit4")->setText(QStringLiteral("3"));
    Testing::control<QLineEdit>(w, "Edit3")->setText(QStringLiteral("40"));
    Testing::control<QLineEdit>(w, "Edit1")->setText(QStringLiteral("三回"));
    Testing::control<QPushButton>(w, "Button1")->click();  // "表示"
    QVERIFY(!w.pagesVisible());
    QCOMPARE(w.remembered().height, 99);  // the automatic height with the border
    QCOMPARE(w.remembered().left, pages.left);
    QCOMPARE(runTicker(w), 3);
    auto* timer1 = Testing::control<QTimer>(w, "Timer1");
    QVERIFY(!timer1->isActive());
    QCOMPARE(w.passes().remaining(), 3);  // reloaded
    // The end actions as designed: hidden, back where it was with its pages, as high as made.
    QVERIFY(!w.isVisible());
    QVERIFY(w.pagesVisible());
    QVERIFY(!Testing::control<QTabWidget>(w, "PageControl1")->isHidden());
    QCOMPARE(w.box(), (Core::NoticeBox{pages.left, pages.top, pages.width, 400}));
    // Endless with 0: still running after many passes.
    w.show();
    Testing::control<QLineEdit>(w, "Edit4")->setText(QStringLiteral("0"));
    w.ShowNotice();
    QVERIFY(runTicker(w, 3000) > 10);
    QVERIFY(timer1->isActive());
    w.StopNotice();
    QVERIFY(!timer1->isActive());
    // An interval of 0 is a stopped clock.
    w.show();
    Testing::control<QLineEdit>(w, "Edit2")->setText(QStringLiteral("0"));
    w.ShowNotice();
    QVERIFY(!timer1->isActive());
}

void MessagingTest::leftEdgeStop() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm15& w = *s.main->noticeWindow();
    w.show();
    Testing::control<QCheckBox>(w, "CheckBox11")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w, "CheckBox5")->isChecked() && !Testing::control<QCheckBox>(w, "CheckBox9")->isChecked() && !Testing::control<QCheckBox>(w, "CheckBox10")->isChecked() &&
            !Testing::control<QCheckBox>(w, "CheckBox8")->isChecked());
    Testing::control<QLineEdit>(w, "Edit3")->setText(QStringLiteral("7"));
    Testing::control<QLineEdit>(w, "Edit1")->setText(QStringLiteral("左で止まる"));
    w.ShowNotice();
    const Core::NoticeBox strip = w.box();
    int lastDrawn = -1;
    for (int i = 0; i < 100000 && Testing::control<QTimer>(w, "Timer1")->isActive(); ++i) {
        w.Timer1Timer();
        if (Testing::control<QTimer>(w, "Timer1")->isActive()) lastDrawn = *w.shownAt();
    }
    QVERIFY(lastDrawn > 0 && lastDrawn <= 7);
    // It ends with the text at the left edge, and the strip stays where it is.
    QVERIFY(w.isVisible());
    QVERIFY(!w.pagesVisible());
    QCOMPARE(w.shownAt(), 0);
    QCOMPARE(w.box(), strip);
    const QImage& pic = Testing::control<Canvas>(w, "Image2")->picture();
    bool inkNearLeft = false;
    for (int x = 0; x < 12 && !inkNearLeft; ++x)
        for (int y = 0; y < pic.height(); ++y)
            if (qGray(pic.pixel(x, y)) < 128) inkNearLeft = true;
    QVERIFY(inkNearLeft);
}

void MessagingTest::stopSendEmptiesTheTexts() {
    PairedLan p;
    listens(p.b);
    Testing::control<QCheckBox>(*p.a.main, "CheckBox32")->setChecked(true);
    send(p.a, QStringLiteral("止める前"), p.lan.net);
    TForm15& b = *p.b.main->noticeWindow();
    QVERIFY(Testing::control<QTimer>(b, "Timer1")->isActive());
    p.lan.net.clearSent();
    Testing::control<QPushButton>(*p.a.main->noticeWindow(), "Button6")->click();  // "停止送信"
    p.lan.net.deliverAll();
    QVERIFY(Testing::control<QLineEdit>(*p.a.main->noticeWindow(), "Edit1")->text().isEmpty());
    QVERIFY(Testing::control<QLineEdit>(b, "Edit1")->text().isEmpty());
    QVERIFY(!Testing::control<QTimer>(b, "Timer1")->isActive());
    QVERIFY(!b.isVisible());  // hidden by the end actions
    const auto sent = payloads(p.lan.net.sentTo(6731));
    QCOMPARE(sent.at(sent.size() - 2), sj(QStringLiteral("901:true:停止")));
    QCOMPARE(sent.last(), QByteArray("$end$"));
    QCOMPARE(sent.at(5), sj(QStringLiteral("504::表示文字列")));
    QCOMPARE(taggedLog(p.a).last(), QStringLiteral("[自分],（テロップ停止）"));
}

void MessagingTest::longTextsTravelOrAreRefused() {
    PairedLan p;
    listens(p.b);
    TForm15& a = *p.a.main->noticeWindow();
    TForm15& b = *p.b.main->noticeWindow();
    QString text;
    for (int i = 0; i < 499; ++i) text += QChar(u'あ' + i % 80);
    text += QStringLiteral("Z:");
    QCOMPARE(Cp932::byteLength(text), 1000);
    send(p.a, text, p.lan.net);
    auto* bEdit1 = Testing::control<QLineEdit>(b, "Edit1");
    QCOMPARE(bEdit1->text(), text);
    QCOMPARE(Cp932::encode(bEdit1->text()), Cp932::encode(text));
    QVERIFY(Testing::control<QTimer>(b, "Timer1")->isActive());
    QVERIFY(p.a.messages.shown.isEmpty());
    // Typing stops at 1000 bytes.
    auto* aEdit1 = Testing::control<QLineEdit>(a, "Edit1");
    aEdit1->clear();
    QTest::keyClicks(aEdit1, QString(1010, u'x'));
    QCOMPARE(aEdit1->text().size(), 1000);
    // Scrambled, a datagram grows by a third: 750 bytes still fit, 751 do not.
    scrambleNotices(p.a);
    scrambleNotices(p.b);
    b.StopNotice();
    p.lan.net.clearSent();
    const QString fits = QString(375, u'あ');
    send(p.a, fits, p.lan.net);
    QCOMPARE(bEdit1->text(), fits);
    for (const auto& d : p.lan.net.sentTo(6731)) QVERIFY(d.payload.size() <= 1023);
    QVERIFY(p.a.messages.shown.isEmpty());
    p.lan.net.clearSent();
    send(p.a, fits + u'x', p.lan.net);
    QVERIFY(p.lan.net.sentTo(6731).isEmpty());
    QCOMPARE(bEdit1->text(), fits);
    QCOMPARE(p.a.messages.shown.size(), 1);
    QVERIFY(p.a.messages.shown.last().startsWith(QStringLiteral("お知らせの文が長すぎるため、送信しませんでした。")));
    QVERIFY(p.a.messages.shown.last().contains(QStringLiteral("文は751バイトです。")));
    // The refusal is not a message that "メッセージを表示する" can silence.
    Testing::control<QCheckBox>(*p.a.main, "CheckBox19")->setChecked(false);
    send(p.a, text, p.lan.net);
    QCOMPARE(p.a.messages.shown.size(), 2);
    QVERIFY(p.lan.net.sentTo(6731).isEmpty());
}

void MessagingTest::noticeBadInput() {
    PairedLan p;
    listens(p.b);
    TForm15& b = *p.b.main->noticeWindow();
    auto inject = [&p](const QByteArray& payload) {
        p.lan.net.inject("192.168.1.10", 6731, "192.168.1.11", 6731, payload);
        p.lan.net.deliverAll();
    };
    auto* bEdit1 = Testing::control<QLineEdit>(b, "Edit1");
    const QString before = bEdit1->text();
    // 1024 bytes or more: ignored.
    inject(Core::Notice::Header());
    inject("504:" + QByteArray(1020, 'x'));
    inject(sj(QStringLiteral("900:true:表示")));
    inject("$end$");
    QCOMPARE(bEdit1->text(), before);
    auto* timer1 = Testing::control<QTimer>(b, "Timer1");
    QVERIFY(timer1->isActive());  // the rest came: shown with its old text
    b.StopNotice();
    // Without the header nothing is applied, and the window stays hidden.
    b.hide();
    inject(sj(QStringLiteral("504:見出しなし:表示文字列")));
    inject(sj(QStringLiteral("900:true:表示")));
    inject("$end$");
    QCOMPARE(bEdit1->text(), before);
    QVERIFY(!b.isVisible() && !timer1->isActive());
    // More than nine colons end the applying: what came before stays applied.
    inject(Core::Notice::Header());
    inject(sj(QStringLiteral("500:120:ウィンドウの高さ")));
    inject(sj(QStringLiteral("504:a:b:c:d:e:f:g:h:i:表示文字列")));
    inject(sj(QStringLiteral("900:true:表示")));
    inject("$end$");
    QCOMPARE(bEdit1->text(), before);
    QVERIFY(!timer1->isActive());
    QCOMPARE(b.box().height, 120);
    QVERIFY(b.collector().lines().isEmpty());  // the next notice starts afresh
    // A value that is not a number: said, and the rest not applied.
    inject(Core::Notice::Header());
    inject(sj(QStringLiteral("504:数字なし:表示文字列")));
    inject(sj(QStringLiteral("509:速く:スクロール間隔")));
    inject(sj(QStringLiteral("900:true:表示")));
    inject("$end$");
    QCOMPARE(bEdit1->text(), QStringLiteral("数字なし"));
    QVERIFY(!timer1->isActive());
    QVERIFY(p.b.messages.shown.last().contains(QStringLiteral("509:速く:スクロール間隔")));
    // And a good notice after all that.
    send(p.a, QStringLiteral("正常"), p.lan.net);
    QCOMPARE(bEdit1->text(), QStringLiteral("正常"));
    QVERIFY(timer1->isActive());
    // The sender refuses a notice with a line of too many colons whole: not a datagram leaves (a
    // receiver given the rest would show its previous notice again), and one box says why.
    b.StopNotice();
    p.lan.net.clearSent();
    qsizetype shown = p.a.messages.shown.size();
    send(p.a, QStringLiteral("1:2:3:4:5:6:7:8:9:10"), p.lan.net);
    QVERIFY(p.lan.net.sentTo(6731).isEmpty());
    QCOMPARE(p.a.messages.shown.size(), shown + 1);
    QVERIFY(p.a.messages.shown.last().startsWith(QStringLiteral("テロップ文の半角カンマの数が多すぎます。\n")));
    QVERIFY(p.a.messages.shown.last().contains(QStringLiteral("「テンプレート前ロール」の「テロップ」ページ")));
    QVERIFY(p.a.messages.shown.last().endsWith(QStringLiteral("このテロップは送信しませんでした。")));
    QCOMPARE(bEdit1->text(), QStringLiteral("正常"));
    QVERIFY(!timer1->isActive());
    QCOMPARE(Testing::control<QLineEdit>(*p.a.main->noticeWindow(), "Edit1")->text(), QStringLiteral("1:2:3:4:5:6:7:8:9:10"));  // kept to be mended
    // The sender's bound is the receivers': a line of ten colons never leaves, nine travel and show.
    p.lan.net.clearSent();
    send(p.a, QStringLiteral("1:2:3:4:5:6:7:8:9"), p.lan.net);
    QVERIFY(p.lan.net.sentTo(6731).isEmpty());
    QCOMPARE(bEdit1->text(), QStringLiteral("正常"));
    shown = p.a.messages.shown.size();
    send(p.a, QStringLiteral("1:2:3:4:5:6:7:8"), p.lan.net);
    QCOMPARE(bEdit1->text(), QStringLiteral("1:2:3:4:5:6:7:8"));
    QCOMPARE(p.a.messages.shown.size(), shown);
}

void MessagingTest::continuousSendFollowsTheGeometry() {
    Lan lan;
    TestStation& alone = lan.add(20, "X");
    TForm15& x = *alone.main->noticeWindow();
    Testing::control<QCheckBox>(x, "CheckBox6")->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(x, "CheckBox6")->isChecked());
    QCOMPARE(alone.messages.shown.last(), QStringLiteral("パートナーが指名されていません。"));

    PairedLan p;
    listens(p.b);
    Testing::control<QCheckBox>(*p.a.main, "CheckBox60")->setChecked(true);
    TForm15& a = *p.a.main->noticeWindow();
    auto* aCheckBox6 = Testing::control<QCheckBox>(a, "CheckBox6");
    aCheckBox6->setChecked(true);
    QVERIFY(aCheckBox6->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(a, "CheckBox4")->isChecked() && !Testing::control<QCheckBox>(a, "CheckBox14")->isChecked() && !Testing::control<QCheckBox>(a, "CheckBox3")->isChecked());
    p.lan.net.clearSent();
    Testing::control<QLineEdit>(a, "Edit7")->setText(QStringLiteral("300"));
    p.lan.net.deliverAll();
    QList<QByteArray> expected = Core::Notice::FollowLines(a.options());
    expected << "$end$";
    QCOMPARE(payloads(p.lan.net.sentTo(6731)), expected);
    for (const auto& d : p.lan.net.sentTo(6731)) QCOMPARE(d.to, QStringLiteral("192.168.1.11"));
    QCOMPARE(payloads(p.lan.net.sentTo(7931)), expected);
    TForm15& b = *p.b.main->noticeWindow();
    QVERIFY(Testing::control<QTimer>(b, "Timer1")->isActive());
    // The given geometry is the window's with its border; the strip is shown below that border.
    QCOMPARE(b.geometry(), QRect(0, 345, 640, 55));
    // The up-downs step by the increment field.
    Testing::control<QLineEdit>(a, "Edit9")->setText(QStringLiteral("25"));
    Testing::control<UpDown>(a, "UpDown6")->step(+1);
    p.lan.net.deliverAll();
    QCOMPARE(b.geometry(), QRect(0, 325, 640, 100));  // now already a strip: placed as given
    // Checking a placement switch ends it.
    Testing::control<QCheckBox>(a, "CheckBox14")->setChecked(true);
    QVERIFY(!aCheckBox6->isChecked());
    p.lan.net.clearSent();
    Testing::control<QLineEdit>(a, "Edit7")->setText(QStringLiteral("10"));
    QVERIFY(p.lan.net.sentTo(6731).isEmpty());
}

void MessagingTest::f1AndMouseWhileRunning() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm15& w = *s.main->noticeWindow();
    Testing::control<QCheckBox>(w, "CheckBox4")->setChecked(false);
    Testing::control<QCheckBox>(w, "CheckBox3")->setChecked(false);
    w.setBox({100, 100, 600, 420}, true);
    w.show();
    w.ShowNotice();
    QCOMPARE(w.box(), (Core::NoticeBox{100, 145, 600, 375}));
    QVERIFY(Testing::control<QTimer>(w, "Timer1")->isActive());
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(Testing::control<QLineEdit>(w, "Edit77"), &f1);
    QVERIFY(!Testing::control<QTimer>(w, "Timer1")->isActive());
    QVERIFY(w.pagesVisible());
    QCOMPARE(w.box(), (Core::NoticeBox{100, 100, 600, 420}));
    QVERIFY(!w.shownAt());
    QApplication::sendEvent(Testing::control<QLineEdit>(w, "Edit77"), &f1);
    QVERIFY(!w.pagesVisible());
    QCOMPARE(w.box(), (Core::NoticeBox{100, 145, 600, 375}));
    // Dragging with the left button held moves the strip by two pixels a step.
    const QPoint at = w.pos();
    auto* image2 = Testing::control<Canvas>(w, "Image2");
    mouseMove(image2, {5, 5}, Qt::LeftButton);
    QCOMPARE(w.pos(), at + QPoint(-2, -2));
    mouseMove(image2, {30, 15}, Qt::LeftButton);
    QCOMPARE(w.pos(), at + QPoint(0, -2));
    mouseMove(image2, {15, 40}, Qt::LeftButton);
    QCOMPARE(w.pos(), at);
    mouseMove(image2, {15, 15}, Qt::LeftButton);
    mouseMove(image2, {5, 5}, Qt::NoButton);
    QCOMPARE(w.pos(), at);
}

void MessagingTest::commaLineBothWays() {
    Lan lan;
    TestStation& one = lan.add(10, "A");
    TestStation& two = lan.add(11, "B");
    TForm15& a = *one.main->noticeWindow();
    TForm15& b = *two.main->noticeWindow();
    Testing::control<QLineEdit>(a, "Edit1")->setText(QStringLiteral("前ロールの知らせ"));
    Testing::control<QLineEdit>(a, "Edit5")->setText(QStringLiteral("80"));
    Testing::control<QLineEdit>(a, "Edit7")->setText(QStringLiteral("-20"));
    Testing::control<QCheckBox>(a, "CheckBox5")->setChecked(false);
    Testing::control<QCheckBox>(a, "CheckBox14")->setChecked(true);
    Testing::control<QCheckBox>(a, "CheckBox1")->setChecked(true);
    Testing::control<QLineEdit>(a, "Edit4")->setText(QStringLiteral("2"));
    QFont f = a.tickerFont();
    f.setItalic(true);
    f.setPixelSize(24);
    a.setTickerFont(f);
    const QString line = a.NoticeLine();
    QVERIFY(line.startsWith(QStringLiteral("前ロールの知らせ,500:80,501:640,502:-20,503:0,505:false,518:false")));
    const QRect windowBefore = b.geometry();
    b.ApplyNoticeLine(line);
    QVERIFY(b.isVisible());
    QVERIFY(!Testing::control<QTimer>(b, "Timer1")->isActive());  // neither shown nor sent
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit1")->text(), Testing::control<QLineEdit>(a, "Edit1")->text());
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit5")->text(), QStringLiteral("80"));
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit7")->text(), QStringLiteral("-20"));
    QCOMPARE(b.geometry(), windowBefore);  // the given geometry, not the window
    QVERIFY(!Testing::control<QCheckBox>(b, "CheckBox5")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(b, "CheckBox14")->isChecked() && !Testing::control<QCheckBox>(b, "CheckBox4")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(b, "CheckBox1")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(b, "Edit4")->text(), QStringLiteral("2"));
    QVERIFY(b.tickerFont().italic());
    QCOMPARE(b.tickerFont().pixelSize(), 24);
    QCOMPARE(b.NoticeLine(), line);
    // The pre-roll is not there yet: the button appends nothing and breaks nothing.
    Testing::control<QPushButton>(a, "Button7")->click();
}

void MessagingTest::smallHandlers() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm15& w = *s.main->noticeWindow();
    Testing::control<QCheckBox>(w, "CheckBox14")->setChecked(true);
    auto* checkBox4 = Testing::control<QCheckBox>(w, "CheckBox4");
    QVERIFY(!checkBox4->isChecked());
    checkBox4->setChecked(true);
    QVERIFY(!Testing::control<QCheckBox>(w, "CheckBox14")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(w, "CheckBox9")->isChecked());
    checkBox4->setChecked(false);  // neither placement: no moving back
    QVERIFY(!Testing::control<QCheckBox>(w, "CheckBox9")->isChecked());
    Testing::control<QLineEdit>(w, "Edit9")->setText(QStringLiteral("7"));
    auto* upDown7 = Testing::control<UpDown>(w, "UpDown7");
    for (UpDown* u : {Testing::control<UpDown>(w, "UpDown4"), Testing::control<UpDown>(w, "UpDown5"), Testing::control<UpDown>(w, "UpDown6"), upDown7}) QCOMPARE(u->increment(), 7);
    Testing::control<UpDown>(w, "UpDown4")->step(+1);
    QCOMPARE(Testing::control<QLineEdit>(w, "Edit5")->text(), QStringLiteral("107"));
    Testing::control<UpDown>(w, "UpDown1")->step(-1);
    QCOMPARE(Testing::control<QLineEdit>(w, "Edit2")->text(), QStringLiteral("45"));
    Testing::control<QLineEdit>(w, "Edit3")->setText(QStringLiteral("12"));
    QCOMPARE(Testing::control<UpDown>(w, "UpDown2")->position(), 12);
    upDown7->step(-1);
    Testing::control<QLineEdit>(w, "Edit8")->setText(QStringLiteral("-995"));
    upDown7->step(-1);
    QCOMPARE(Testing::control<QLineEdit>(w, "Edit8")->text(), QStringLiteral("-999"));
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    Testing::control<QCheckBox>(w, "CheckBox2")->setChecked(false);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    // The font and background dialogs.
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(50);
    s.dialogs.fonts.push_back(f);
    Testing::control<QPushButton>(w, "Button3")->click();
    QCOMPARE(w.tickerFont().pixelSize(), 50);
    s.dialogs.colours.push_back(QColor(255, 255, 0));
    Testing::control<QPushButton>(w, "Button4")->click();
    QCOMPARE(w.backgroundValue(), 65535);
    QCOMPARE(Testing::control<Canvas>(w, "Image2")->picture().pixelColor(0, 0), QColor(255, 255, 0));
    // Contact window: "ﾌｫﾝﾄ" cancelled changes nothing.
    const QFont before = s.main->contactWindow()->paneFont();
    Testing::control<QPushButton>(*s.main->contactWindow(), "Button2")->click();
    QCOMPARE(s.main->contactWindow()->paneFont(), before);
}

// ---------------------------------------------------------------------------------------------
// Settings

void MessagingTest::settingsTravelThroughTheFile() {
    Lan lan;
    TestStation& one = lan.add(10, "A");
    TestStation& two = lan.add(11, "B");
    TForm6& c = *one.main->contactWindow();
    TForm15& n = *one.main->noticeWindow();
    Testing::control<QLineEdit>(c, "Edit1")->setText(QStringLiteral("鈴木："));
    Testing::control<QCheckBox>(c, "CheckBox5")->setChecked(false);
    Testing::control<QCheckBox>(c, "CheckBox4")->setChecked(true);
    Testing::control<QLineEdit>(c, "Edit2")->setText(QStringLiteral("15"));
    Testing::control<QLineEdit>(c, "Edit3")->setText(QStringLiteral("交代の時間です"));
    Testing::control<QCheckBox>(c, "CheckBox6")->setChecked(true);
    Testing::control<QCheckBox>(c, "CheckBox7")->setChecked(true);
    c.setPanel1Height(70);
    c.setPanel3Height(120);
    c.setGeometry(50, 60, 300, 260);
    QFont cf = c.paneFont();
    cf.setPixelSize(24);
    cf.setUnderline(true);
    c.setPaneFont(cf);
    one.dialogs.colours.push_back(QColor(0, 255, 0));
    Testing::control<QPushButton>(c, "Button4")->click();
    c.show();
    const QDateTime t0 = one.clock.time;
    Testing::control<QCheckBox>(c, "CheckBox2")->setChecked(true);  // running, yet written as "false"
    Testing::control<QLineEdit>(n, "Edit1")->setText(QStringLiteral("ファイルで運ぶ"));
    Testing::control<QCheckBox>(n, "CheckBox12")->setChecked(false);
    Testing::control<QCheckBox>(n, "CheckBox13")->setChecked(true);
    Testing::control<QCheckBox>(n, "CheckBox7")->setChecked(false);
    Testing::control<QCheckBox>(n, "CheckBox11")->setChecked(true);
    Testing::control<QLineEdit>(n, "Edit6")->setText(QStringLiteral("900"));
    Testing::control<QLineEdit>(n, "Edit9")->setText(QStringLiteral("5"));
    Testing::control<QLineEdit>(n, "Edit2")->setText(QStringLiteral("30"));
    QFont nf = n.tickerFont();
    nf.setPixelSize(64);
    nf.setBold(true);
    n.setTickerFont(nf);
    n.setBox({5, 6, 700, 320}, true);
    n.show();

    const QList<QByteArray> lines = one.main->WriteSettings();
    auto line = [&lines](int key) {
        const QByteArray prefix = QByteArray::number(key).rightJustified(3, '0') + ':';
        for (const QByteArray& l : lines)
            if (l.startsWith(prefix)) return Cp932::decode(l);
        return QString();
    };
    QCOMPARE(line(709), QStringLiteral("709:false:連絡窓の定時連絡（流す）のチェック"));
    QCOMPARE(line(191), QStringLiteral("191:鈴木：:連絡窓の送信者名"));
    QCOMPARE(line(151), QStringLiteral("151:65280:連絡窓の連絡受信時の背景色"));
    QCOMPARE(line(150), QStringLiteral("150:16777215:連絡窓の背景色"));
    QCOMPARE(line(149), QStringLiteral("149:fsUnderline:連絡窓のフォントスタイル：ＵｎｄｅｒＬｉｎｅ"));
    QCOMPARE(line(147), QStringLiteral("147:!fsbold:連絡窓のフォントスタイル：！ｂｏｌｄ"));
    QCOMPARE(line(152), QStringLiteral("152:on:連絡窓表示"));
    QCOMPARE(line(160), QStringLiteral("160:70:連絡窓の入力部の高さ"));
    QCOMPARE(line(702), QStringLiteral("702:120:連絡窓の設定パネルの高さ"));
    QCOMPARE(line(155), QStringLiteral("155:18:連絡窓のフォントサイズ"));
    QCOMPARE(line(260), QStringLiteral("260:true:お知らせＷの表示"));
    QCOMPARE(line(267), QStringLiteral("267:false:お知らせＷを受信する"));
    QCOMPARE(line(258), QStringLiteral("258:false:お知らせＷの設定も送信しない"));
    QCOMPARE(line(500), QStringLiteral("500:320:お知らせＷのウィンドウの高さ"));
    QCOMPARE(line(502), QStringLiteral("502:6:お知らせＷのウィンドの縦位置"));
    QCOMPARE(line(512), QStringLiteral("512:-2147483640:お知らせＷの表示のフォントの色"));
    QCOMPARE(line(513), QStringLiteral("513:48:お知らせＷの表示のフォントサイズ"));
    QCOMPARE(line(515), QStringLiteral("515:fsbold:お知らせＷの表示部のフォントスタイル：ｂｏｌｄ"));
    QCOMPARE(line(516), QStringLiteral("516:!fsItalic:お知らせＷの表示部のフォントスタイル：Ｉｔａｌｉｃ"));
    QCOMPARE(line(521), QStringLiteral("521:true:お知らせＷの左端で止める"));
    QCOMPARE(line(519), QStringLiteral("519:false:お知らせＷの表示後そ元位置に戻らない"));
    QCOMPARE(line(526), QStringLiteral("526:900:お知らせＷのウィンドの指定幅"));

    QVERIFY(two.main->ApplySettings(lines));
    TForm6& c2 = *two.main->contactWindow();
    TForm15& n2 = *two.main->noticeWindow();
    QCOMPARE(Testing::control<QLineEdit>(c2, "Edit1")->text(), QStringLiteral("鈴木："));
    QVERIFY(!Testing::control<QCheckBox>(c2, "CheckBox5")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(c2, "CheckBox4")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(c2, "Edit2")->text(), QStringLiteral("15"));
    QCOMPARE(Testing::control<QLineEdit>(c2, "Edit3")->text(), QStringLiteral("交代の時間です"));
    QVERIFY(Testing::control<QCheckBox>(c2, "CheckBox6")->isChecked() && Testing::control<QCheckBox>(c2, "CheckBox7")->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(c2, "CheckBox2")->isChecked());
    QVERIFY(!Testing::control<QTimer>(c2, "Timer2")->isActive());
    QCOMPARE(c2.panel1Height(), 70);
    QCOMPARE(c2.panel3Height(), 120);
    QCOMPARE(c2.geometry(), QRect(50, 60, 300, 260));
    QVERIFY(c2.isVisible());
    QCOMPARE(c2.paneFont().pixelSize(), 24);
    QVERIFY(c2.paneFont().underline());
    QCOMPARE(c2.signalColour(), QColor(0, 255, 0));
    auto* n2Edit1 = Testing::control<QLineEdit>(n2, "Edit1");
    QCOMPARE(n2Edit1->text(), QStringLiteral("ファイルで運ぶ"));
    QVERIFY(!Testing::control<QCheckBox>(n2, "CheckBox12")->isChecked() && Testing::control<QCheckBox>(n2, "CheckBox13")->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(n2, "CheckBox7")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(n2, "CheckBox11")->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(n2, "Edit6")->text(), QStringLiteral("900"));
    QCOMPARE(Testing::control<QLineEdit>(n2, "Edit9")->text(), QStringLiteral("5"));
    QCOMPARE(Testing::control<QLineEdit>(n2, "Edit2")->text(), QStringLiteral("30"));
    QCOMPARE(n2.tickerFont().pixelSize(), 64);
    QVERIFY(n2.tickerFont().bold());
    QCOMPARE(n2.box(), (Core::NoticeBox{5, 6, 700, 320}));
    QVERIFY(n2.isVisible());
    QCOMPARE(Testing::control<UpDown>(n2, "UpDown4")->increment(), 5);
    // A file that checks "定時連絡" starts the schedule from the moment it is read.
    two.clock.time = t0.addSecs(5);
    QVERIFY(two.main->ApplySettings({lines.first(), sj(QStringLiteral("709:true:連絡窓の定時連絡（流す）のチェック"))}));
    QVERIFY(Testing::control<QTimer>(c2, "Timer2")->isActive());
    QCOMPARE(c2.schedule().next(), t0.addSecs(5 + 15 * 60));
    // The notice text's hint, which older files hold as the text, reads back as the empty text;
    // an empty field is written empty.
    QVERIFY(two.main->ApplySettings(
        {lines.first(), sj(QStringLiteral("504:ここにお知らせを入力します。（最大５００文字）:お知らせＷの表示文字列"))}));
    QCOMPARE(n2Edit1->text(), QString());
    QVERIFY(two.main->WriteSettings().contains(sj(QStringLiteral("504::お知らせＷの表示文字列"))));
    QVERIFY(two.main->ApplySettings({lines.first(), sj(QStringLiteral("504:ここに:お知らせＷの表示文字列"))}));
    QCOMPARE(n2Edit1->text(), QStringLiteral("ここに"));
}

void MessagingTest::defaults() {
    Lan lan;
    TestStation& s = lan.add(10, "A");
    TForm6& c = *s.main->contactWindow();
    TForm15& n = *s.main->noticeWindow();
    // As created.
    QCOMPARE(c.windowTitle(), QStringLiteral("連絡(ctrl+r)"));
    QCOMPARE(n.windowTitle(), QStringLiteral("お知らせ(ctrl+o)"));
    QVERIFY(!c.isVisible() && !n.isVisible());
    // At the screen's corner with its frame, so a window manager keeps the title bar on the screen.
    QCOMPARE(c.pos(), QPoint(0, 0));
    QCOMPARE(c.size(), QSize(280, 340));
    const int settingsHeight = Testing::control<QCheckBox>(c, "CheckBox7")->parentWidget()->sizeHint().height();  // every settings row
    QVERIFY(settingsHeight > 33);
    QCOMPARE(c.panel3Height(), settingsHeight);
    QCOMPARE(c.panel1Height(), 38);
    auto* cEdit2 = Testing::control<QLineEdit>(c, "Edit2");
    QCOMPARE(cEdit2->text(), QStringLiteral("5"));
    QCOMPARE(Testing::control<QLineEdit>(c, "Edit3")->text(), QStringLiteral("交代です！"));
    QCOMPARE(Testing::control<QLineEdit>(c, "Edit4")->text(), QStringLiteral("３０秒前です。"));
    auto* cCheckBox5 = Testing::control<QCheckBox>(c, "CheckBox5");
    QVERIFY(Testing::control<QCheckBox>(c, "CheckBox3")->isChecked() && cCheckBox5->isChecked());
    QVERIFY(!Testing::control<QCheckBox>(c, "CheckBox1")->isChecked() && !Testing::control<QCheckBox>(c, "CheckBox2")->isChecked() && !Testing::control<QCheckBox>(c, "CheckBox4")->isChecked() &&
            !Testing::control<QCheckBox>(c, "CheckBox6")->isChecked() && !Testing::control<QCheckBox>(c, "CheckBox7")->isChecked());
    QCOMPARE(c.normalColour(), QColor(Qt::white));
    QCOMPARE(c.signalColour(), QColor(Qt::red));
    QCOMPARE(c.paneFont().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(c.paneFont().pixelSize(), 16);  // 12 points
    QCOMPARE(Testing::control<QTimer>(c, "Timer1")->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(Testing::control<Net::DatagramEndpoint>(c, "NMUDP1")->channelPort(), 6727);
    QCOMPARE(Testing::control<Net::DatagramEndpoint>(n, "NMUDP1")->channelPort(), 6731);
    auto* nEdit1 = Testing::control<QLineEdit>(n, "Edit1");
    QCOMPARE(nEdit1->text(), QString());  // its hint is no text
    QCOMPARE(nEdit1->placeholderText(), QStringLiteral("ここにお知らせを入力します。（最大５００文字）"));
    QCOMPARE(n.box().height, 400);
    QCOMPARE(n.box().left, 0);
    QCOMPARE(n.box().top, 0);
    QVERIFY(n.pagesVisible());
    auto* checkBox12 = Testing::control<QCheckBox>(n, "CheckBox12");
    QVERIFY(checkBox12->isChecked() && !Testing::control<QCheckBox>(n, "CheckBox13")->isChecked() && !Testing::control<QCheckBox>(n, "CheckBox6")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(n, "CheckBox4")->isChecked() && !Testing::control<QCheckBox>(n, "CheckBox14")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox3")->isChecked());
    QVERIFY(Testing::control<QCheckBox>(n, "CheckBox5")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox8")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox9")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox10")->isChecked());
    auto* checkBox11 = Testing::control<QCheckBox>(n, "CheckBox11");
    auto* nCheckBox1 = Testing::control<QCheckBox>(n, "CheckBox1");
    QVERIFY(Testing::control<QCheckBox>(n, "CheckBox7")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox2")->isChecked() && !nCheckBox1->isChecked() && !checkBox11->isChecked());
    QCOMPARE(Testing::control<QLineEdit>(n, "Edit2")->text(), QStringLiteral("50"));
    QCOMPARE(Testing::control<QLineEdit>(n, "Edit3")->text(), QStringLiteral("3"));
    QCOMPARE(Testing::control<QLineEdit>(n, "Edit4")->text(), QStringLiteral("0"));
    auto* edit9 = Testing::control<QLineEdit>(n, "Edit9");
    QCOMPARE((QStringList{Testing::control<QLineEdit>(n, "Edit5")->text(), Testing::control<QLineEdit>(n, "Edit6")->text(), Testing::control<QLineEdit>(n, "Edit7")->text(), Testing::control<QLineEdit>(n, "Edit8")->text(), edit9->text()}),
             (QStringList{"100", "640", "0", "0", "10"}));
    QCOMPARE(n.tickerFont().pixelSize(), 48);  // 36 points
    QCOMPARE(n.fontColourValue(), Settings::Colour::kWindowText);
    QCOMPARE(n.backgroundValue(), Settings::Colour::kWhite);

    // "初期値に戻す" after everything was changed.
    c.show();
    n.show();
    Testing::control<QLineEdit>(c, "Edit1")->setText(QStringLiteral("x"));
    cCheckBox5->setChecked(false);
    Testing::control<QCheckBox>(c, "CheckBox7")->setChecked(true);
    cEdit2->setText(QStringLiteral("9"));
    c.setGeometry(40, 40, 500, 500);
    c.setPanel1Height(99);
    c.setPanel3Height(50);
    s.dialogs.colours.push_back(QColor(1, 2, 3));
    Testing::control<QPushButton>(c, "Button3")->click();
    s.clock.time = s.clock.time.addSecs(1);
    Testing::control<QCheckBox>(c, "CheckBox2")->setChecked(true);
    nEdit1->setText(QStringLiteral("y"));
    checkBox12->setChecked(false);
    checkBox11->setChecked(true);
    nCheckBox1->setChecked(true);
    edit9->setText(QStringLiteral("3"));
    n.ShowNotice();
    Testing::control<QPushButton>(*s.main, "Button67")->click();
    QVERIFY(!c.isVisible() && !n.isVisible());
    QVERIFY(!Testing::control<QTimer>(c, "Timer2")->isActive());
    QCOMPARE(Testing::control<QLineEdit>(c, "Edit1")->text(), QString());
    QVERIFY(cCheckBox5->isChecked() && !Testing::control<QCheckBox>(c, "CheckBox7")->isChecked());
    QCOMPARE(cEdit2->text(), QStringLiteral("5"));
    QCOMPARE(c.pos(), QPoint(0, 0));  // the frame, not the client area, at the corner
    QCOMPARE(c.size(), QSize(280, 340));
    QCOMPARE(c.panel1Height(), 38);
    QCOMPARE(c.panel3Height(), settingsHeight);
    QCOMPARE(c.normalColour(), Settings::toQColor(Settings::Colour::kWindow, c.palette()));
    QVERIFY(!Testing::control<QTimer>(n, "Timer1")->isActive());
    QVERIFY(n.pagesVisible());
    QCOMPARE(n.box(), (Core::NoticeBox{0, 0, 640, 400}));
    QCOMPARE(nEdit1->text(), QString());
    QVERIFY(checkBox12->isChecked() && !checkBox11->isChecked() && !nCheckBox1->isChecked());
    QVERIFY(Testing::control<QCheckBox>(n, "CheckBox5")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox8")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox9")->isChecked() && Testing::control<QCheckBox>(n, "CheckBox10")->isChecked());
    QCOMPARE(edit9->text(), QStringLiteral("10"));
    QCOMPARE(Testing::control<UpDown>(n, "UpDown4")->increment(), 10);
    QCOMPARE(n.backgroundValue(), Settings::Colour::kWhite);
    QCOMPARE(Testing::control<Canvas>(n, "Image2")->picture().pixelColor(0, 0), QColor(Qt::white));
}

QTEST_MAIN(MessagingTest)
#include "test_messaging.moc"
